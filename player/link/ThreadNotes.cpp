#include "player/link/ThreadNotes.h"

#include <atomic>

namespace player::link::threadNotes {
namespace {

// Bit 0: inside a text request; the rest: the silence a marker was sent for.
constexpr ULONG_PTR kInsideBit = 1;

std::atomic<DWORD> slot{TLS_OUT_OF_INDEXES};

// The slot, taken at the first need: a race between two threads leaves one slot taken.
DWORD slotIndex() noexcept {
    DWORD index = slot.load(std::memory_order_acquire);
    if (index != TLS_OUT_OF_INDEXES)
        return index;
    const DWORD mine = TlsAlloc(); // zero in every thread
    if (mine == TLS_OUT_OF_INDEXES)
        return mine;
    if (slot.compare_exchange_strong(index, mine, std::memory_order_acq_rel))
        return mine;
    TlsFree(mine);
    return index;
}

ULONG_PTR notes() noexcept {
    const DWORD index = slotIndex();
    return index == TLS_OUT_OF_INDEXES ? 0 : reinterpret_cast<ULONG_PTR>(TlsGetValue(index));
}

void setNotes(ULONG_PTR value) noexcept {
    const DWORD index = slotIndex();
    if (index != TLS_OUT_OF_INDEXES)
        TlsSetValue(index, reinterpret_cast<void*>(value));
}

} // namespace

ULONG_PTR markerSentFor() noexcept {
    return notes() >> 1;
}

void noteMarkerSentFor(ULONG_PTR silence) noexcept {
    setNotes((silence << 1) | (notes() & kInsideBit));
}

bool insideTextRequest() noexcept {
    return (notes() & kInsideBit) != 0;
}

void noteInsideTextRequest(bool inside) noexcept {
    setNotes((notes() & ~kInsideBit) | (inside ? kInsideBit : 0));
}

void release() noexcept {
    const DWORD index = slot.exchange(TLS_OUT_OF_INDEXES);
    if (index != TLS_OUT_OF_INDEXES)
        TlsFree(index);
}

} // namespace player::link::threadNotes
