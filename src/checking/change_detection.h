#pragma once
// Change detection: compares a page's body text with its snapshot, keeps the snapshot up to
// date, and records a changed page for the host.

namespace pirowend {

// True when the page counts as changed. `line` is the page-list line, `text` the page's body
// text (not empty). Creates the snapshot at the first comparison, rewrites it on a change,
// and reads the tolerance only when the texts differ.
bool compare_with_snapshot(const char* line, const char* text);

// Makes the line the changed page and raises page_changed, in that order.
void record_changed_page(const char* line);

}  // namespace pirowend
