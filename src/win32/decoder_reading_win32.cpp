#include "win32/decoder_reading_win32.h"

#include <algorithm>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "core/decoder_ports.h"

namespace torvane::win32 {
namespace {

// How much output read from a pipe may wait for the window's thread.
constexpr std::size_t kMostHeldBytes = 4 * kDecoderPipeBytes;
// A decoder takes at most three handles of the wait, which also holds the wake event.
constexpr std::size_t kMostReadings = (MAXIMUM_WAIT_OBJECTS - 1) / 3;

struct Active {
  explicit Active(DecoderReading r)
      : reading(std::move(r)), output(std::move(reading.output)), errors(std::move(reading.errors)) {}
  bool Done() const { return exited && output.Ended() && errors.Ended(); }

  DecoderReading reading;
  PipeReader output, errors;
  std::shared_ptr<HeldOutput> held = std::make_shared<HeldOutput>();
  std::string tail;
  bool exited = false;
};

struct Handover {
  std::mutex lock;
  std::vector<DecoderReading> added;
  std::size_t reading = 0;  // handed over and not yet ended
  bool threadMade = false;
  UniqueHandle wake{CreateEventW(nullptr, FALSE, FALSE, nullptr)};
};

// Never destroyed: the thread may outlive the program's static objects.
Handover& TheHandover() {
  static Handover* handover = new Handover;
  return *handover;
}

void Handle(Active& a, HANDLE signalled) {
  if (signalled == a.output.Event()) {
    if (const auto piece = a.output.Finish(); piece && !piece->empty()) {
      DWORD written = 0;
      if (a.reading.copy) WriteFile(a.reading.copy.get(), piece->data(), static_cast<DWORD>(piece->size()), &written, nullptr);
      a.reading.piece(std::make_shared<HeldPiece>(a.held, *piece));
    }
  } else if (signalled == a.errors.Event()) {
    if (const auto piece = a.errors.Finish()) a.tail.append(*piece);
    if (a.tail.size() > DecoderProcesses::kErrorTailBytes) a.tail.erase(0, a.tail.size() - DecoderProcesses::kErrorTailBytes);
    a.errors.Begin();
  } else if (signalled == a.reading.process.get()) {
    a.exited = true;
  }
}

// Drains each decoder's output (copied as read, handed on, held back only
// while much of it waits for the window) and error output (its tail kept),
// and learns of its exit.
void ReadAll(Handover& handover) {
  std::vector<std::unique_ptr<Active>> active;
  for (;;) {
    {
      const std::lock_guard guard(handover.lock);
      for (DecoderReading& added : handover.added) {
        active.push_back(std::make_unique<Active>(std::move(added)));
        active.back()->output.Begin();
        active.back()->errors.Begin();
      }
      handover.added.clear();
    }
    std::vector<HANDLE> waits{handover.wake.get()};
    std::vector<Active*> owners{nullptr};
    const auto wait = [&](Active& a, HANDLE handle) {
      waits.push_back(handle);
      owners.push_back(&a);
    };
    for (const auto& a : active) {
      if (a->output.Reading()) wait(*a, a->output.Event());
      if (!a->output.Reading() && !a->output.Ended()) wait(*a, a->held->Released());
      if (a->errors.Reading()) wait(*a, a->errors.Event());
      if (!a->exited) wait(*a, a->reading.process.get());
    }
    const DWORD woken = WaitForMultipleObjects(static_cast<DWORD>(waits.size()), waits.data(), FALSE, INFINITE);
    const std::size_t at = woken - WAIT_OBJECT_0;
    if (at >= waits.size()) {
      Sleep(10);  // cannot happen with valid handles; not a busy loop if it does
    } else if (owners[at]) {
      Handle(*owners[at], waits[at]);
    }
    for (const auto& a : active)
      if (!a->output.Reading() && a->held->AtMost(kMostHeldBytes)) a->output.Begin();
    for (auto it = active.begin(); it != active.end();) {
      if (!(*it)->Done()) {
        ++it;
        continue;
      }
      (*it)->reading.copy.reset();  // the copy is whole before the end is told
      (*it)->reading.ended(std::move((*it)->tail));
      it = active.erase(it);
      const std::lock_guard guard(handover.lock);
      --handover.reading;
    }
    // The first ready handle wins a wait: a decoder that always has output
    // must not keep the others waiting, so the order turns.
    if (active.size() > 1) std::rotate(active.begin(), active.begin() + 1, active.end());
  }
}

}  // namespace

bool ReadOnReaderThread(DecoderReading reading) {
  Handover& handover = TheHandover();
  const std::lock_guard guard(handover.lock);
  if (!handover.wake || handover.reading >= kMostReadings) return false;
  if (!handover.threadMade) {
    try {
      std::thread(ReadAll, std::ref(handover)).detach();
    } catch (const std::system_error&) {
      return false;
    }
    handover.threadMade = true;
  }
  handover.added.push_back(std::move(reading));
  ++handover.reading;
  SetEvent(handover.wake.get());
  return true;
}

}  // namespace torvane::win32
