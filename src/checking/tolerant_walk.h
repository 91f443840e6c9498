#pragma once
// The tolerant comparison: walks a page's new text against its stored text, steps over short
// differences and brings the texts back into step after insertions or deletions of up to w
// bytes. Bytes at or beyond the end of either text read as NUL.
#include <cstdint>
#include <string_view>

namespace pirowend {

// True when every difference can be bridged with width w (the page counts as unchanged).
// `stored` is the stored buffer: the first L + 1 bytes of the snapshot, NUL-padded, where L is
// the length of `text`. A negative w bridges nothing; w = 0 bridges everything.
bool tolerant_walk_bridges(std::string_view text, std::string_view stored, std::int64_t w);

}  // namespace pirowend
