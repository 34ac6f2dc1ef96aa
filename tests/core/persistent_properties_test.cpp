#include "settings/persistent_properties.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "base/error.h"
#include "settings/profile_values.h"

namespace settings {
namespace {

// An initialization file in memory that remembers the order of writes.
class FakeStore : public ProfileStore {
 public:
  std::map<std::pair<std::string, std::string>, std::string> values;
  std::vector<std::string> writes;
  int failAfter = -1;  // writes allowed before every write fails

  std::string ReadString(const std::string& s, const std::string& k,
                         const std::string& fallback) override {
    auto it = values.find({s, k});
    return it == values.end() ? fallback : it->second;
  }
  bool WriteString(const std::string& s, const std::string& k, const std::string& v) override {
    if (failAfter == 0) return false;
    if (failAfter > 0) --failAfter;
    values[{s, k}] = v;
    writes.push_back(k + "=" + v);
    return true;
  }
  std::string Path() const override { return "C:\\Ships\\Demo.ini"; }
};

// A component whose properties are plain fields.
class Thing : public base::Component {
 public:
  bool checked = false;
  long long tag = 0;
  char accel = 'a';
  std::string text, caption;
  double ratio = 1.5;

  Thing(base::Component* owner, std::string name, std::string cls = "TThing")
      : Component(owner, std::move(name), std::move(cls)) {
    Publish(
        "Caption", base::PropertyKind::LongString, [this] { return base::PropertyValue(caption); },
        [this](const base::PropertyValue& v) { caption = std::get<std::string>(v); });
    Publish(
        "Checked", base::PropertyKind::Boolean, [this] { return base::PropertyValue(checked); },
        [this](const base::PropertyValue& v) { checked = std::get<bool>(v); });
    Publish(
        "Tag", base::PropertyKind::Integer, [this] { return base::PropertyValue(tag); },
        [this](const base::PropertyValue& v) { tag = std::get<long long>(v); });
    Publish(
        "Accel", base::PropertyKind::Char, [this] { return base::PropertyValue(accel); },
        [this](const base::PropertyValue& v) { accel = std::get<char>(v); });
    Publish(
        "Text", base::PropertyKind::ShortString, [this] { return base::PropertyValue(text); },
        [this](const base::PropertyValue& v) { text = std::get<std::string>(v); });
    Publish(
        "Ratio", base::PropertyKind::Float, [this] { return base::PropertyValue(ratio); },
        [this](const base::PropertyValue& v) { ratio = std::get<double>(v); });
    Publish(
        "Align", base::PropertyKind::Enumeration, [] { return base::PropertyValue(); },
        [](const base::PropertyValue&) { ADD_FAILURE() << "enumerations are never set"; });
    Publish(
        "Font", base::PropertyKind::Other, [] { return base::PropertyValue(); }, nullptr);
  }
};

struct Window : base::Component {
  Window() : Component(nullptr, "Form1", "TForm1") {}
};

PersistentNames MainWindowNames() {
  PersistentNames n;
  AddDefaultPersistentNames(n);
  return n;
}

TEST(ProfileValues, Bounds) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {
      {"0x20", 32},       {"0X20", 32}, {"0x", 0},   {"0xZZ", 0},
      {"120", 120},       {"-8", -8},   {"0", 0},    {"", 0},
      {"junk", 0},        {"12px", 0},  {"020", 20}, {"0x7fffffff", 2147483647},
      {"99999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseBound(c.text), c.value) << c.text;
}

TEST(ProfileValues, Integers) {
  struct Case {
    const char* text;
    std::optional<int> value;
  } cases[] = {
      {"42", 42},
      {"-42", -42},
      {"+7", 7},
      {"$1F", 31},
      {"0x1f", 31},
      {"-$10", -16},
      {"2147483647", 2147483647},
      {"-2147483648", -2147483647 - 1},
      {"2147483648", std::nullopt},
      {"", std::nullopt},
      {" 1", std::nullopt},
      {"1 ", std::nullopt},
      {"1.5", std::nullopt},
      {"x", std::nullopt},
      {"-", std::nullopt},
      {"$", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseInteger(c.text), c.value) << c.text;
}

TEST(ProfileValues, ConversionsByKind) {
  Window w;
  Thing t(&w, "Thing1");
  auto prop = [&](const char* n) { return *t.FindProperty(n); };
  struct Case {
    const char* property;
    const char* text;
    bool applied;
  } cases[] = {
      {"Checked", "TRUE", true},  {"Checked", "FALSE", true},  {"Checked", "true", false},
      {"Checked", "True", false}, {"Checked", "1", false},     {"Checked", "", false},
      {"Tag", "17", true},        {"Tag", "seventeen", false}, {"Accel", "xyz", true},
      {"Text", "a b|c", true},    {"Ratio", "2.5", false},     {"Align", "alClient", false},
      {"Font", "Arial", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ApplyPropertyText(prop(c.property), c.text), c.applied) << c.property << c.text;
  }
  EXPECT_FALSE(t.checked);  // the last Boolean applied was FALSE
  EXPECT_EQ(t.tag, 17);
  EXPECT_EQ(t.accel, 'x');
  EXPECT_EQ(t.text, "a b|c");
  EXPECT_EQ(t.ratio, 1.5);

  t.checked = true;
  EXPECT_EQ(PropertyToText(prop("Checked")), "TRUE");
  EXPECT_EQ(PropertyToText(prop("Tag")), "17");
  EXPECT_EQ(PropertyToText(prop("Accel")), "x");
  EXPECT_EQ(PropertyToText(prop("Ratio")), std::nullopt);
  EXPECT_EQ(PropertyToText(prop("Align")), std::nullopt);
}

TEST(PersistentProperties, SavesPickedPropertiesInComponentOrder) {
  Window w;
  Thing a(&w, "CheckBox1", "TCheckBox"), b(&w, "Edit1", "TEdit"), c(&w, "Item1", "TMenuItem");
  a.checked = true;
  b.text = "Lisbon [+0]";
  c.caption = "Quit";
  PersistentNames names = MainWindowNames();
  names.Add("TMenuItem.Caption");
  FakeStore store;
  WriteBounds(store, "Form1", {10, 20, 300, 400});
  SaveProperties(store, "Form1", w, ByNames(names));
  const std::vector<std::string> expected = {
      "Top=10",
      "Left=20",
      "Width=300",
      "Height=400",
      "CheckBox1.Checked=TRUE",
      "Edit1.Checked=FALSE",
      "Edit1.Text=Lisbon [+0]",
      "Item1.Caption=Quit",
      "Item1.Checked=FALSE",
  };
  // CheckBox1.Text is empty and so not written; Caption is kept for the menu class only.
  EXPECT_EQ(store.writes, expected);
}

TEST(PersistentProperties, LoadsWhatConvertsAndIgnoresTheRest) {
  Window w;
  Thing a(&w, "CheckBox1"), b(&w, "CheckBox2"), c(&w, "CheckBox3"), d(&w, "Edit1");
  b.checked = true;
  c.checked = true;
  d.text = "before";
  FakeStore store;
  store.values[{"Form1", "CheckBox1.Checked"}] = "TRUE";
  store.values[{"Form1", "CheckBox2.Checked"}] = "true";  // hand-edited: ignored
  store.values[{"Form1", "CheckBox3.Checked"}] = "";      // empty: ignored
  store.values[{"Form1", "Edit1.Text"}] = "after";
  store.values[{"Other", "CheckBox1.Checked"}] = "FALSE";  // another window's section
  store.values[{"Form1", "CheckBox1.Tag"}] = "5";          // Tag is not a persistent name
  const auto names = MainWindowNames();
  LoadProperties(store, "Form1", w, ByNames(names));
  EXPECT_TRUE(a.checked);
  EXPECT_TRUE(b.checked);
  EXPECT_TRUE(c.checked);
  EXPECT_EQ(d.text, "after");
  EXPECT_EQ(a.tag, 0);
}

TEST(PersistentProperties, BoundsReadAsStoredWithAbsentAsZero) {
  FakeStore store;
  store.values[{"Form1", "Top"}] = "0x20";
  store.values[{"Form1", "Left"}] = "0";
  store.values[{"Form1", "Width"}] = "wide";
  const Bounds b = ReadBounds(store, "Form1");
  EXPECT_EQ(b.top, 32);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.width, 0);
  EXPECT_EQ(b.height, 0);
}

TEST(PersistentProperties, AFailedWriteStopsTheSaveWithTheFileInTheMessage) {
  Window w;
  Thing a(&w, "CheckBox1"), b(&w, "CheckBox2");
  FakeStore store;
  store.failAfter = 5;  // the four bounds and one more
  WriteBounds(store, "Form1", {1, 2, 3, 4});
  try {
    const auto names = MainWindowNames();
    SaveProperties(store, "Form1", w, ByNames(names));
    FAIL() << "expected a write error";
  } catch (const base::WriteError& e) {
    EXPECT_STREQ(e.what(), "Unable to write to C:\\Ships\\Demo.ini");
  }
  EXPECT_EQ(store.writes.size(), 5u);
}

TEST(PersistentProperties, NamesMatchBarePropertiesOrOneClass) {
  PersistentNames names = MainWindowNames();
  names.Add("TTrackBar.Position2");
  EXPECT_TRUE(names.IsPersistentProperty("TCheckBox", "Checked"));
  EXPECT_TRUE(names.IsPersistentProperty("TScrollBar", "Position"));
  EXPECT_TRUE(names.IsPersistentProperty("TTrackBar", "Position2"));
  EXPECT_FALSE(names.IsPersistentProperty("TScrollBar", "Position2"));
  EXPECT_FALSE(names.IsPersistentProperty("TCheckBox", "checked"));
  EXPECT_FALSE(names.IsPersistentProperty("TCheckBox", "Caption"));
}

TEST(Component, OwnershipOrderAndRemovalNotices) {
  struct Watcher : base::Component {
    std::vector<std::string> gone;
    using Component::Component;
    void Notification(base::Component* c) override { gone.push_back(c->Name()); }
  };
  Window w;
  auto* menu = w.Create<Thing>("PopupMenu1");
  auto* watcher = w.Create<Watcher>("TrayIcon1", "TTrayIcon");
  w.Create<Thing>("Item1");
  menu->FreeNotification(watcher);
  ASSERT_EQ(w.Components().size(), 3u);
  EXPECT_EQ(w.Components()[0]->Name(), "PopupMenu1");
  EXPECT_EQ(w.FindComponent("Item1")->Name(), "Item1");
  {
    Thing standalone(&w, "Temp");
    standalone.FreeNotification(watcher);
    EXPECT_EQ(w.Components().size(), 4u);
  }
  EXPECT_EQ(w.Components().size(), 3u);
  EXPECT_EQ(watcher->gone, std::vector<std::string>{"Temp"});
}

}  // namespace
}  // namespace settings
