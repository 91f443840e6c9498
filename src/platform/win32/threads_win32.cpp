// Threads, Windows half.
#include "platform/threads.h"
#include "platform/win32/windows_api.h"

namespace pirowend::platform {

struct ThreadRecord {
  ThreadProc proc;
  void* parameter;
  HANDLE handle = nullptr;
};

namespace {

DWORD WINAPI trampoline(void* data) {
  auto* record = static_cast<ThreadRecord*>(data);
  return record->proc(record->parameter);
}

}  // namespace

ThreadHandle start_thread(ThreadProc proc, void* parameter) {
  auto* record = new ThreadRecord{proc, parameter};
  record->handle = CreateThread(nullptr, 0, trampoline, record, 0, nullptr);
  if (!record->handle) {
    delete record;
    return nullptr;
  }
  return record;
}

WaitResult wait_for_thread(ThreadHandle thread, std::uint32_t timeout_ms) {
  if (!thread) return WaitResult::failed;
  switch (WaitForSingleObject(thread->handle, timeout_ms)) {
    case WAIT_OBJECT_0:
      return WaitResult::ended;
    case WAIT_TIMEOUT:
      return WaitResult::timed_out;
    default:
      return WaitResult::failed;
  }
}

void abandon_thread(ThreadHandle thread) {
  if (thread) TerminateThread(thread->handle, 0);
}

bool close_thread(ThreadHandle thread) {
  if (!thread) return false;
  bool closed = CloseHandle(thread->handle) != 0;
  delete thread;
  return closed;
}

}  // namespace pirowend::platform
