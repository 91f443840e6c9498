// Threads, POSIX half.
#include <dlfcn.h>
#include <pthread.h>
#include <time.h>

#include <cerrno>

#include "platform/threads.h"

namespace pirowend::platform {

struct ThreadRecord {
  ThreadProc proc;
  void* parameter;
  pthread_t thread;
  bool joined = false;
  bool abandoned = false;
};

namespace {

void* trampoline(void* data) {
  auto* record = static_cast<ThreadRecord*>(data);
  record->proc(record->parameter);
  return nullptr;
}

}  // namespace

ThreadHandle start_thread(ThreadProc proc, void* parameter) {
  auto* record = new ThreadRecord{proc, parameter, {}};
  if (pthread_create(&record->thread, nullptr, trampoline, record) != 0) {
    delete record;
    return nullptr;
  }
  return record;
}

WaitResult wait_for_thread(ThreadHandle thread, std::uint32_t timeout_ms) {
  if (!thread || thread->joined || thread->abandoned) return WaitResult::failed;
  timespec until{};
  clock_gettime(CLOCK_REALTIME, &until);
  until.tv_sec += timeout_ms / 1000;
  until.tv_nsec += static_cast<long>(timeout_ms % 1000) * 1000000L;
  if (until.tv_nsec >= 1000000000L) {
    until.tv_sec += 1;
    until.tv_nsec -= 1000000000L;
  }
  int result = pthread_timedjoin_np(thread->thread, nullptr, &until);
  if (result == 0) {
    thread->joined = true;
    return WaitResult::ended;
  }
  return result == ETIMEDOUT ? WaitResult::timed_out : WaitResult::failed;
}

void abandon_thread(ThreadHandle thread) {
  if (!thread || thread->joined || thread->abandoned) return;
  thread->abandoned = true;
  pthread_detach(thread->thread);
  // The thread's code must stay mapped after the host unloads the library.
  Dl_info info{};
  if (dladdr(reinterpret_cast<void*>(&abandon_thread), &info) && info.dli_fname) {
    dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
  }
}

bool close_thread(ThreadHandle thread) {
  if (!thread) return false;
  // An abandoned thread may still run; its record is left to it.
  if (!thread->abandoned) {
    if (!thread->joined) pthread_detach(thread->thread);
    delete thread;
  }
  return true;
}

}  // namespace pirowend::platform
