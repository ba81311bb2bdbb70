#include "common/document.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace quenda {
namespace {

struct TestDoc : Document<int> {
  using Document::ForgetListeners;
};

// Writes "name:update" to a shared log, then runs its action (which may change the list).
struct Named final : DocumentListener<int> {
  Named(std::string name, std::vector<std::string>& log) : name(std::move(name)), log(log) {}
  void OnUpdate(const int& update) override {
    log.push_back(name + ":" + std::to_string(update));
    if (action) action(update);
  }
  std::string name;
  std::vector<std::string>& log;
  std::function<void(int)> action;
};

using Log = std::vector<std::string>;

TEST(Document, ListenersHearUpdatesInTheOrderAddedOnceEach) {
  TestDoc doc;
  Log log;
  Named a("a", log), b("b", log);
  doc.AddListener(&a);
  doc.AddListener(&b);
  doc.AddListener(&a);  // already there
  doc.UpdateAllViews(1);
  doc.RemoveListener(&a);
  doc.RemoveListener(&a);  // no longer there
  Named never("never", log);
  doc.RemoveListener(&never);
  doc.UpdateAllViews(2);
  EXPECT_EQ(log, (Log{"a:1", "b:1", "b:2"}));
}

TEST(Document, ChangesToTheListDuringAnUpdateTakeEffectAtOnce) {
  struct Case {
    const char* what;
    std::function<void(TestDoc&, Named&, Named&, Named&, Named&)> arrange;
    Log expected;
  };
  // a, b and c are added; d is not. Two updates are sent.
  const Case cases[] = {
      {"b removes itself",
       [](TestDoc& doc, Named&, Named& b, Named&, Named&) {
         b.action = [&](int) { doc.RemoveListener(&b); };
       },
       {"a:1", "b:1", "c:1", "a:2", "c:2"}},
      {"a removes c, which has not heard yet",
       [](TestDoc& doc, Named& a, Named&, Named& c, Named&) {
         a.action = [&](int) { doc.RemoveListener(&c); };
       },
       {"a:1", "b:1", "a:2", "b:2"}},
      {"c removes a, which has heard",
       [](TestDoc& doc, Named& a, Named&, Named& c, Named&) {
         c.action = [&](int) { doc.RemoveListener(&a); };
       },
       {"a:1", "b:1", "c:1", "b:2", "c:2"}},
      {"a adds d, which hears from the next update",
       [](TestDoc& doc, Named& a, Named&, Named&, Named& d) {
         a.action = [&](int) { doc.AddListener(&d); };
       },
       {"a:1", "b:1", "c:1", "a:2", "b:2", "c:2", "d:2"}},
      {"b removes itself and adds itself back at the end",
       [](TestDoc& doc, Named&, Named& b, Named&, Named&) {
         b.action = [&](int update) {
           if (update != 1) return;
           doc.RemoveListener(&b);
           doc.AddListener(&b);
         };
       },
       {"a:1", "b:1", "c:1", "a:2", "c:2", "b:2"}},
      {"a removes b and c, which then never hear",
       [](TestDoc& doc, Named& a, Named& b, Named& c, Named&) {
         a.action = [&](int) {
           doc.RemoveListener(&b);
           doc.RemoveListener(&c);
         };
       },
       {"a:1", "a:2"}},
      {"b forgets every listener",
       [](TestDoc& doc, Named&, Named& b, Named&, Named&) {
         b.action = [&](int) { doc.ForgetListeners(); };
       },
       {"a:1", "b:1"}},
  };
  for (const Case& test : cases) {
    SCOPED_TRACE(test.what);
    TestDoc doc;
    Log log;
    Named a("a", log), b("b", log), c("c", log), d("d", log);
    test.arrange(doc, a, b, c, d);
    doc.AddListener(&a);
    doc.AddListener(&b);
    doc.AddListener(&c);
    doc.UpdateAllViews(1);
    doc.UpdateAllViews(2);
    EXPECT_EQ(log, test.expected);
  }
}

TEST(Document, AnUpdateSentFromInsideAnUpdateReachesEveryoneStillListening) {
  TestDoc doc;
  Log log;
  Named a("a", log), b("b", log), c("c", log);
  // a answers update 1 with update 2; during that nested update b leaves, and the outer
  // update must then skip b as well.
  a.action = [&](int update) {
    if (update == 1) doc.UpdateAllViews(2);
  };
  c.action = [&](int update) {
    if (update == 2) doc.RemoveListener(&b);
  };
  doc.AddListener(&a);
  doc.AddListener(&b);
  doc.AddListener(&c);
  doc.UpdateAllViews(1);
  doc.UpdateAllViews(3);
  EXPECT_EQ(log, (Log{"a:1", "a:2", "b:2", "c:2", "c:1", "a:3", "c:3"}));
}

TEST(UndoSnapshot, RestoresTheLastCopyTakenOnlyOnce) {
  UndoSnapshot<std::vector<int>> undo;
  std::vector<int> data{1, 2, 3};
  EXPECT_FALSE(undo.Restore(data));
  EXPECT_EQ(data, (std::vector<int>{1, 2, 3}));

  undo.Take(data);
  data.push_back(4);
  undo.Take(data);  // one level: the newer copy replaces the older
  data.push_back(5);
  ASSERT_TRUE(undo.available());
  ASSERT_TRUE(undo.Restore(data));
  EXPECT_EQ(data, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FALSE(undo.available());
  EXPECT_FALSE(undo.Restore(data));
  EXPECT_EQ(data, (std::vector<int>{1, 2, 3, 4}));
}

TEST(UndoSnapshot, ADroppedCopyIsGoneAndAKeptOneCanFollowTheDocument) {
  UndoSnapshot<std::vector<int>> undo;
  undo.Take({7, 8});
  undo.Drop();
  EXPECT_FALSE(undo.available());
  EXPECT_EQ(undo.get(), nullptr);
  EXPECT_FALSE(undo.Release().has_value());

  undo.Take({7, 8, 9});
  undo.get()->pop_back();  // as when the document drops something the copy refers to
  std::optional<std::vector<int>> released = undo.Release();
  ASSERT_TRUE(released.has_value());
  EXPECT_EQ(*released, (std::vector<int>{7, 8}));
  EXPECT_FALSE(undo.available());
}

}  // namespace
}  // namespace quenda
