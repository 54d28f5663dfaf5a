// GHistory: a ring of the last N columns of two signals, each column the
// minimum and maximum of signal A and of signal B over the samples that went
// into it. An effect exposes it as a GTypedFeature<GHistory>; the wave
// displays draw it, newest column at the right.
// One writer (the effect's audio thread) closes columns with write while the
// editor's UI thread reads. No lock, and nothing allocates after
// construction: every value is a relaxed atomic, and write publishes a
// column by storing writePos and columnCount with release order after its
// values, so a reader that loads them with acquire order sees every column
// they count. The one overlap left is benign: a reader may meet the oldest
// column while the writer replaces it, and draws a mix of old and new
// extremes for one pass; the new column's count brings the next pass.
// Owns its arrays.
#pragma once

#include <atomic>
#include <memory>

namespace Zorv {

struct GHistoryColumn {
    double minA, maxA, minB, maxB;
};

class GHistory {
public:
    explicit GHistory(int columns);  // N = columns (at least 1), all zero
    GHistory(const GHistory&) = delete;
    GHistory& operator=(const GHistory&) = delete;

    void write(const GHistoryColumn& column);  // writer: stores at writePos, advances, counts

    int size() const { return n; }  // N
    int columnCount() const;        // columns written so far; wraps past INT_MAX
    int writePosition() const;      // the next column to be written
    // Column i before write position wp, i = 0 the newest; i wraps at N.
    GHistoryColumn column(int i, int wp) const;
    GHistoryColumn column(int i) const { return column(i, writePosition()); }

private:
    using Values = std::unique_ptr<std::atomic<double>[]>;

    int n;
    Values minA, maxA, minB, maxB;
    std::atomic<int> writePos{0};
    std::atomic<unsigned> count{0};  // unsigned, so it wraps without overflow
};

}  // namespace Zorv
