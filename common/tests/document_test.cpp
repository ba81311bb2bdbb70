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

// Writes "name:update " to a shared log, then runs its action (which may change the list).
struct Ear final : DocumentListener<int> {
  void OnUpdate(const int& update) override {
    *log += std::string(1, name) + ":" + std::to_string(update) + " ";
    if (action) action(update);
  }
  char name = '?';
  std::string* log = nullptr;
  std::function<void(int)> action;
};

// Listeners a..d on one log; a, b and c are added in that order, d is not.
struct Room {
  Room() {
    for (int i = 0; i < 4; ++i) {
      ears[i].name = char('a' + i);
      ears[i].log = &log;
      if (i < 3) doc.AddListener(&ears[i]);
    }
  }
  Ear& operator[](char name) { return ears[name - 'a']; }
  TestDoc doc;
  std::string log;
  Ear ears[4];
};

TEST(Document, ListenersHearUpdatesInTheOrderAddedOnceEach) {
  Room room;
  room.doc.AddListener(&room['a']);  // already there
  room.doc.UpdateAllViews(1);
  room.doc.RemoveListener(&room['a']);
  room.doc.RemoveListener(&room['a']);  // no longer there
  room.doc.RemoveListener(&room['d']);  // never there
  room.doc.UpdateAllViews(2);
  EXPECT_EQ(room.log, "a:1 b:1 c:1 b:2 c:2 ");
}

TEST(Document, ChangesToTheListDuringAnUpdateTakeEffectAtOnce) {
  // On hearing `update`, `listener` runs `ops`: -x removes x, +x adds x, !n sends update n
  // from inside, * forgets every listener.
  struct Rule {
    char listener;
    int update;
    const char* ops;
  };
  const struct {
    const char* what;
    std::vector<Rule> rules;
    const char* heard;  // after updates 1 and 2
  } cases[] = {
      {"b removes itself", {{'b', 1, "-b"}}, "a:1 b:1 c:1 a:2 c:2 "},
      {"a removes c, which has not heard yet", {{'a', 1, "-c"}}, "a:1 b:1 a:2 b:2 "},
      {"c removes a, which has heard", {{'c', 1, "-a"}}, "a:1 b:1 c:1 b:2 c:2 "},
      {"a adds d, which hears from the next update",
       {{'a', 1, "+d"}},
       "a:1 b:1 c:1 a:2 b:2 c:2 d:2 "},
      {"b leaves and comes back at the end", {{'b', 1, "-b+b"}}, "a:1 b:1 c:1 a:2 c:2 b:2 "},
      {"a removes b and c, which then never hear", {{'a', 1, "-b-c"}}, "a:1 a:2 "},
      {"b forgets every listener", {{'b', 1, "*"}}, "a:1 b:1 "},
      {"b leaves during a nested update: the outer one skips it too",
       {{'a', 1, "!9"}, {'c', 9, "-b"}},
       "a:1 a:9 b:9 c:9 c:1 a:2 c:2 "},
  };
  for (const auto& test : cases) {
    SCOPED_TRACE(test.what);
    Room room;
    for (const Rule& rule : test.rules) {
      room[rule.listener].action = [&room, rule](int update) {
        if (update != rule.update) return;
        for (const char* op = rule.ops; *op != '\0'; op += *op == '*' ? 1 : 2) {
          if (*op == '*') room.doc.ForgetListeners();
          if (*op == '-') room.doc.RemoveListener(&room[op[1]]);
          if (*op == '+') room.doc.AddListener(&room[op[1]]);
          if (*op == '!') room.doc.UpdateAllViews(op[1] - '0');
        }
      };
    }
    room.doc.UpdateAllViews(1);
    room.doc.UpdateAllViews(2);
    EXPECT_EQ(room.log, test.heard);
  }
}

TEST(UndoSnapshot, KeepsOnlyTheLastCopyForOneRestoreOrRelease) {
  UndoSnapshot<std::vector<int>> undo;
  std::vector<int> data{1, 2, 3};
  EXPECT_FALSE(undo.Restore(data));
  undo.Take(data);
  data.push_back(4);
  undo.Take(data);  // one level: the newer copy replaces the older
  data.push_back(5);
  ASSERT_TRUE(undo.Restore(data));
  EXPECT_EQ(data, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FALSE(undo.Restore(data));
  EXPECT_EQ(data.size(), 4u);

  undo.Take({7, 8});
  undo.Drop();
  EXPECT_FALSE(undo.Release().has_value());
  undo.Take({7, 8, 9});
  undo.get()->pop_back();  // as when the document drops something the copy refers to
  EXPECT_EQ(undo.Release(), std::optional(std::vector<int>{7, 8}));
  EXPECT_FALSE(undo.available());
}

}  // namespace
}  // namespace quenda
