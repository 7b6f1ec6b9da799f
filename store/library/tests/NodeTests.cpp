#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../../tests/StoreTestSupport.h"
#include "store/Database.h"
#include "store/Exception.h"
#include "store/library/CDRomNode.h"
#include "store/library/FilmNode.h"
#include "store/library/HListNode.h"
#include "store/library/LibrarySchema.h"
#include "store/library/ListNode.h"

namespace {

// Records every visit as name:depth:has-children; answers false at one name.
struct Recorder : ListNodeVisitor {
  std::string stopAt;
  std::vector<std::string> visits;

  bool Record(ListNode* node, const char* kind, int32_t depth, bool has) {
    visits.push_back(std::string(kind) + node->GetName() + ":" + std::to_string(depth) +
                     (has ? "+" : ""));
    return node->GetName() != stopAt;
  }
  bool VisitNode(ListNode* node, int32_t depth, bool has) override {
    return Record(node, "", depth, has);
  }
  bool VisitFilm(FilmNode* film, int32_t depth, bool has) override {
    return Record(film, "film ", depth, has);
  }
};

Bytes Stored(Serialisable& object) {
  MemoryStream s({}, false);
  object.Save(s.stream);
  EXPECT_EQ(object.SerialisedSize(), s.memory.Bytes().size()) << object.ClassName();
  return s.memory.Bytes();
}

Database* NewDatabase(MemoryDataHandler& memory) {
  memory.Seek(0, SeekFrom::Start);
  return Database::Create(new StreamDataHandler(&memory), "Database", 100, 30);
}

TEST(LibrarySchema, HoldsTheSchemaNames) {
  const std::vector<std::string> names = {
      kCdRomsRoot,   kPlaylistRoot,   kPreferencesRoot, kActionsRoot,      kSpritesRoot,
      kScreenSaversKey, kScreenSaversFolder, kActionsKey, kDictionaryKey,  kActionsRef,
      kSpritesRef,   kPreferencesRef, kNameKey,         kVolumeKey,        kBalanceKey,
      kSpeedKey,     kCopyrightKey,   kLoopKey,         kTrkLocalKey,      kTrkGlobalKey,
      kTrkBackgroundKey, kOriginKey,  kAliasRootKey};
  EXPECT_EQ((std::vector<std::string>{
                "CD-ROMS", "Playlist", "Preferences", "Actions", "Sprites", "screensavers",
                "screensavers", "actions", "dictionary", "%actions", "%sprites", "%preferences",
                "name", "volume", "balance", "speed", "copyright", "loop", "TrkLocal",
                "TrkGlobal", "TrkBackground", "Origin", "AliasRoot"}),
            names);
}

TEST(ListNode, StoredForm) {
  ListNode node("");
  EXPECT_EQ(Join({1, 15, BigEndian32(8), "ListNode", 10, BigEndian32(0), 10, BigEndian32(0),
                  16, BigEndian32(0), BigEndian32(80), Bytes(80, 0), 2}),
            Stored(node));
  EXPECT_EQ(114u, node.SerialisedSize());
}

TEST(ListNode, WorkedSizesOfNewNodes) {
  CDRomNode cd;
  FilmNode film("");
  HListNode empty("");
  EXPECT_EQ(147u, cd.SerialisedSize());
  EXPECT_EQ(325u, film.SerialisedSize());
  EXPECT_EQ(16u + 99 + 10 + 2, empty.SerialisedSize());

  // The CD's date and time follow the children and the expanded flag.
  const Bytes cdBytes = Stored(cd);
  const std::size_t at = 1 + 5 + 9 + 10 + 89 + 10 + 2;
  EXPECT_EQ(Join({9, BigEndian32(2451545), 10, BigEndian32(0)}),
            Bytes(cdBytes.begin() + at, cdBytes.begin() + at + 10));

  // The film flag (true) and seven zero identity values follow the path and
  // the empty dictionary.
  const Bytes filmBytes = Stored(film);
  const std::size_t flag = 1 + 5 + 8 + 10 + 89 + 159 + 5;
  Bytes identity;
  for (int i = 0; i < 7; ++i) identity = Join({identity, 10, BigEndian32(0)});
  EXPECT_EQ(Join({18, 1, identity}), Bytes(filmBytes.begin() + flag, filmBytes.begin() + flag + 37));
}

TEST(ListNode, LongNamesAndPathsAreCutWhenStored) {
  MemoryStream s;
  FilmNode film(std::string(100, 'n'));
  film.GetPath() = std::string(200, 'p');
  film.Save(s.stream);
  s.stream.Seek(0, SeekFrom::Start);
  FilmNode read;
  read.Load(s.stream);
  EXPECT_EQ(std::string(80, 'n'), read.GetName());
  EXPECT_EQ(std::string(150, 'p'), read.GetPath());
  EXPECT_EQ(100u, film.GetName().size());  // the value in memory keeps its length
}

TEST(HListNode, StoresItsChildrenWithoutEmptySlots) {
  MemoryDataHandler memory;
  std::unique_ptr<Database> db(NewDatabase(memory));
  HListNode* parent = new (db.get()) HListNode("parent");
  std::vector<uint32_t> ids;
  for (int i = 0; i < 4; ++i) {
    ListNode* child = new (db.get()) ListNode("child");
    parent->AddChild(child);
    ids.push_back(child->GetID());
  }
  const Bytes bytes = Stored(*parent);
  Bytes want = Join({10, BigEndian32(4), 10, BigEndian32(4)});
  for (uint32_t id : ids) {
    want = Join({want, 10, BigEndian32(id), 10, BigEndian32(db->GetDatabaseID())});
  }
  const std::size_t at = 1 + 5 + 9 + 10 + 89;
  EXPECT_EQ(want, Bytes(bytes.begin() + at, bytes.begin() + at + want.size()));
  EXPECT_EQ(16u + 99 + 10 + 40 + 2, parent->SerialisedSize());
}

TEST(HListNode, ChildrenByIndexAndPosition) {
  HListNode parent("p");
  ListNode a("a"), b("b"), c("c");
  parent.AddChild(&a);
  parent.AddChild(&c);
  parent.InsertChild(parent.ChildrenBegin() + 1, &b);
  ASSERT_EQ(3, parent.CountChildren());
  EXPECT_EQ(&b, parent.GetChild(1));
  EXPECT_EQ(nullptr, parent.GetChild(-1));
  EXPECT_EQ(nullptr, parent.GetChild(3));
  EXPECT_EQ(3, parent.ChildrenEnd() - parent.ChildrenBegin());
  // Adding a child does not make it a child's parent, nor the parent modified.
  EXPECT_EQ(nullptr, b.GetParent());
  EXPECT_FALSE(parent.IsModified());
  parent.SetExpanded(true);
  EXPECT_TRUE(parent.IsModified());

  ListNode leaf("leaf");
  EXPECT_EQ(nullptr, leaf.GetChild(0));
  EXPECT_EQ(leaf.ChildrenBegin(), leaf.ChildrenEnd());
  leaf.AddChild(&a);
  EXPECT_EQ(0, leaf.CountChildren());
  leaf.SetExpanded(true);
  EXPECT_FALSE(leaf.IsExpanded());
}

TEST(ListNode, SetParentOnlyOnce) {
  HListNode first("first"), second("second");
  ListNode node("n");
  node.SetParent(&first);
  try {
    node.SetParent(&second);
    FAIL() << "a second parent was taken";
  } catch (const Assertion& e) {
    EXPECT_EQ("Assertion failed, line 96 in ListNode", e.GetMessageText());
  }
  EXPECT_EQ(&first, node.GetParent());
  // The mark is kept in memory only.
  node.SetMarked(true);
  EXPECT_TRUE(node.IsMarked());
  EXPECT_FALSE(node.IsModified());
}

// root -> a (-> a1 -> a11), b (collapsed, -> b1), film f
class WalkTest : public ::testing::Test {
protected:
  void SetUp() override {
    root.AddChild(&a);
    a.AddChild(&a1);
    a1.AddChild(&a11);
    root.AddChild(&b);
    b.AddChild(&b1);
    root.AddChild(&f);
    a.SetExpanded(true);
    a1.SetExpanded(true);
  }
  HListNode root{"root"}, a{"a"}, a1{"a1"}, b{"b"};
  ListNode a11{"a11"}, b1{"b1"};
  FilmNode f{"f"};
  Recorder recorder;
};

TEST_F(WalkTest, VisitsEveryNodeInPreOrder) {
  EXPECT_TRUE(root.Walk(recorder, 5));
  EXPECT_EQ((std::vector<std::string>{"a:5+", "a1:6+", "a11:7", "b:5+", "b1:6", "film f:5"}),
            recorder.visits);
}

TEST_F(WalkTest, ExpandedWalkVisitsButDoesNotEnterCollapsedNodes) {
  EXPECT_TRUE(root.WalkExpanded(recorder, 0));
  EXPECT_EQ((std::vector<std::string>{"a:0+", "a1:1+", "a11:2", "b:0", "film f:0"}),
            recorder.visits);
}

TEST_F(WalkTest, AVisitorStopsTheWalk) {
  recorder.stopAt = "b";
  EXPECT_FALSE(root.Walk(recorder, 0));
  // b is neither entered nor followed by the film.
  EXPECT_EQ((std::vector<std::string>{"a:0+", "a1:1+", "a11:2", "b:0+"}), recorder.visits);

  Recorder none;
  EXPECT_TRUE(a11.Walk(none, 0));
  EXPECT_TRUE(none.visits.empty());
}

TEST_F(WalkTest, ReleaseMarksSubtrees) {
  a.ReleaseWithChildren();
  EXPECT_TRUE(a.IsKeptStored());
  EXPECT_TRUE(a1.IsKeptStored());
  EXPECT_FALSE(a11.IsKeptStored());
  b.ReleaseTree();
  EXPECT_TRUE(b.IsKeptStored());
  EXPECT_TRUE(b1.IsKeptStored());
  root.ReleaseTree();
  EXPECT_TRUE(a11.IsKeptStored());
  EXPECT_TRUE(f.IsKeptStored());
}

TEST(ListNode, MakePathBelowACD) {
  const struct {
    const char* name;
    const char* key;  // null: no entry
    const char* value;
    std::string want;
  } kCases[] = {
      {"the CD's folder prefixes the path", "screensavers", "films", "films/a.flm"},
      {"without the key the film's own path", nullptr, "", "a.flm"},
      {"an empty folder leaves the slash", "screensavers", "", "/a.flm"},
      {"keys are compared byte for byte", "Screensavers", "films", "a.flm"},
  };
  for (const auto& c : kCases) {
    CDRomNode cd;
    HListNode location("location");
    FilmNode film("film");
    if (c.key) cd.GetDictionary()[c.key] = c.value;
    location.SetParent(&cd);
    film.SetParent(&location);
    film.GetPath() = "a.flm";
    std::string path = "replaced";
    film.MakePath(path);
    EXPECT_EQ(c.want, path) << c.name;
  }
  FilmNode alone("alone");
  alone.GetPath() = "a.flm";
  std::string path;
  alone.MakePath(path);
  EXPECT_EQ("a.flm", path);
  // A plain node passes the call up and leaves the path alone without a CD.
  ListNode plain("plain");
  plain.MakePath(path);
  EXPECT_EQ("a.flm", path);
}

TEST(ListNode, ATreeIsReadFromItsDatabaseOnDemand) {
  MemoryDataHandler memory;
  {
    std::unique_ptr<Database> db(NewDatabase(memory));
    CDRomNode* cd = new (db.get()) CDRomNode;
    cd->GetDictionary()[kScreenSaversKey] = "films";
    cd->GetActions()[ActionID("play")] = ActionDefinition("playQT(File=\"a.flm\")");
    FilmNode* film = new (db.get()) FilmNode("film");
    film->GetPath() = "a.flm";
    film->SetParent(cd);
    cd->AddChild(film);
    cd->SetExpanded(true);
    db->AddRoot(kCdRomsRoot, cd);
    Database::SaveAll(db.get());
  }
  std::unique_ptr<Database> db(NewDatabase(memory));
  CDRomNode* cd = dynamic_cast<CDRomNode*>(db->GetRoot(kCdRomsRoot));
  ASSERT_NE(nullptr, cd);
  EXPECT_TRUE(cd->IsExpanded());
  EXPECT_FALSE(cd->IsModified());
  EXPECT_EQ(2451545, cd->GetDate().GetDayNumber());
  EXPECT_EQ("playQT(File=\"a.flm\")", cd->GetActions()[ActionID("play")].GetText());
  ASSERT_EQ(1, cd->CountChildren());
  auto* film = dynamic_cast<FilmNode*>(cd->GetChild(0));
  ASSERT_NE(nullptr, film);
  EXPECT_EQ(cd, film->GetParent());
  std::string path;
  film->MakePath(path);
  EXPECT_EQ("films/a.flm", path);
}

// Damaged databases whose nodes point back at each other end in an error,
// not in a stack overflow.
TEST(ListNode, CyclesInADamagedDatabaseAreErrors) {
  MemoryDataHandler memory;
  {
    std::unique_ptr<Database> db(NewDatabase(memory));
    HListNode* a = new (db.get()) HListNode("a");
    HListNode* b = new (db.get()) HListNode("b");
    a->AddChild(b);
    b->AddChild(a);
    FilmNode* film = new (db.get()) FilmNode("film");
    film->SetParent(a);
    a->SetParent(b);
    b->SetParent(a);
    HListNode* self = new (db.get()) HListNode("self");
    self->AddChild(self);
    db->AddRoot("a", a);
    db->AddRoot("film", film);
    db->AddRoot("self", self);
    Database::SaveAll(db.get());
  }
  std::unique_ptr<Database> db(NewDatabase(memory));
  auto* a = dynamic_cast<ListNode*>(db->GetRoot("a"));
  auto* film = dynamic_cast<ListNode*>(db->GetRoot("film"));
  auto* self = dynamic_cast<ListNode*>(db->GetRoot("self"));
  ASSERT_TRUE(a && film && self);
  Recorder recorder;
  EXPECT_THROW(a->Walk(recorder, 0), InvalidDatabase);
  EXPECT_TRUE(self->WalkExpanded(recorder, 0));  // collapsed: visited, not entered
  self->SetExpanded(true);
  EXPECT_THROW(self->WalkExpanded(recorder, 0), InvalidDatabase);
  EXPECT_THROW(a->ReleaseTree(), InvalidDatabase);
  std::string path;
  EXPECT_THROW(film->MakePath(path), InvalidDatabase);
  // One step is still fine.
  EXPECT_NO_THROW(a->ReleaseWithChildren());
}

// A node under two parents: entering it twice would multiply the work with
// every level of such sharing.
TEST(ListNode, ANodeUnderTwoParentsIsAnError) {
  HListNode root("root"), left("left"), right("right"), shared("shared");
  ListNode leaf("leaf");
  root.AddChild(&left);
  root.AddChild(&right);
  left.AddChild(&shared);
  right.AddChild(&shared);
  shared.AddChild(&leaf);
  Recorder recorder;
  EXPECT_THROW(root.Walk(recorder, 0), InvalidDatabase);
  EXPECT_THROW(root.ReleaseTree(), InvalidDatabase);
  // A shared leaf is only visited twice.
  HListNode top("top"), a("a"), b("b");
  top.AddChild(&a);
  top.AddChild(&b);
  a.AddChild(&leaf);
  b.AddChild(&leaf);
  Recorder visits;
  EXPECT_TRUE(top.Walk(visits, 0));
  EXPECT_EQ((std::vector<std::string>{"a:0+", "leaf:1", "b:0+", "leaf:1"}), visits.visits);
  EXPECT_NO_THROW(top.ReleaseTree());
}

}  // namespace
