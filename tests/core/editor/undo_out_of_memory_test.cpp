// Undo when memory runs out: a snapshot or a step either succeeds or the editor is told,
// and the text never ends up half restored.
#include <gtest/gtest.h>

#include <cstdlib>
#include <new>

#include "core/editor/editor_model.h"
#include "editor_test_util.h"

namespace {

// While set, every allocation of this thread fails; otherwise the next `failures` do.
thread_local bool fail_all = false;
thread_local int failures = 0;

}  // namespace

// The replacement pairs malloc with free on purpose.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t n) {
  if (fail_all) throw std::bad_alloc();
  if (failures > 0) {
    --failures;
    throw std::bad_alloc();
  }
  if (void* p = std::malloc(n ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
// Every other plain form too, so that no block is taken by one allocator and given back to
// the other (the library's temporary buffers use the nothrow form).
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return ::operator new(n);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t n) {
  return ::operator new(n);
}
void* operator new[](std::size_t n, const std::nothrow_t& tag) noexcept {
  return ::operator new(n, tag);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
  std::free(p);
}
#pragma GCC diagnostic pop

namespace lq {
namespace {

using test::Ed;

// Runs f while no allocation succeeds.
template <class F>
void without_memory(F&& f) {
  fail_all = true;
  f();
  fail_all = false;
}

TEST(UndoOutOfMemory, SnapshotThatCannotBeTakenIsReported) {
  Ed ed({"abc"});
  ed.m.record_undo();
  without_memory([&] { ed.m.record_undo(); });
  EXPECT_EQ(ed.client.troubles, std::vector<HistoryTrouble>{HistoryTrouble::NotRecorded});
  EXPECT_EQ(ed.m.get_all_text(), "abc\r\n");
}

TEST(UndoOutOfMemory, OlderStepsMakeRoomForTheNewSnapshot) {
  Ed ed({"abc"});
  for (int i = 0; i < 4; ++i) {
    ed.m.record_undo();
    ed.m.set_all_text("t" + std::to_string(i) + "\r\n");
  }
  ed.m.undo_step();
  ed.m.redo_step();
  ASSERT_EQ(ed.m.redo_list().size(), 0u);
  ed.m.undo_step();  // one record waits for redo
  failures = 1;
  ed.m.record_undo();
  failures = 0;
  EXPECT_TRUE(ed.client.troubles.empty());
  // The older half and the redo record made room; the new snapshot is the newest.
  EXPECT_TRUE(ed.m.redo_list().empty());
  ASSERT_EQ(ed.m.undo_list().size(), 2u);
  EXPECT_EQ(ed.m.undo_list()[1].text(), "t2\r\n");
  EXPECT_EQ(ed.m.undo_list()[0].text(), "t1\r\n");
}

TEST(UndoOutOfMemory, FailedStepLeavesTextAndHistoryAsTheyWere) {
  Ed ed({"one", "two"});
  ed.m.record_undo();
  ed.m.set_all_text("changed\r\n");
  ed.select({2, 0}, {4, 0});
  without_memory([&] { ed.m.undo_step(); });
  EXPECT_EQ(ed.client.troubles, std::vector<HistoryTrouble>{HistoryTrouble::StepFailed});
  EXPECT_EQ(ed.m.get_all_text(), "changed\r\n");
  EXPECT_EQ(ed.m.sel_anchor(), (EditPos{2, 0}));
  EXPECT_EQ(ed.m.undo_list().size(), 1u);
  EXPECT_TRUE(ed.m.redo_list().empty());
  // With memory back the same undo works.
  ed.m.undo_step();
  EXPECT_EQ(ed.m.get_all_text(), "one\r\ntwo\r\n");
  EXPECT_EQ(ed.m.redo_list().size(), 1u);
}

}  // namespace
}  // namespace lq
