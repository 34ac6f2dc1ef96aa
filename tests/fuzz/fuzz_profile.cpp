// Values of the initialization file, as a person may have edited them, read
// back into published properties of every kind, and the integer texts.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>

#include "base/error.h"
#include "base/int_convert.h"
#include "settings/persistent_properties.h"
#include "settings/profile_values.h"

namespace {

struct Store : settings::ProfileStore {
  std::map<std::string, std::string> values;
  std::string ReadString(const std::string&, const std::string& k,
                         const std::string& fallback) override {
    auto it = values.find(k);
    return it == values.end() ? fallback : it->second;
  }
  bool WriteString(const std::string&, const std::string& k, const std::string& v) override {
    values[k] = v;
    return true;
  }
  std::string Path() const override { return "x.ini"; }
};

struct Part : base::Component {
  bool checked = false;
  long long number = 0;
  std::string text;
  Part(Component* owner, std::string name) : Component(owner, std::move(name), "TPart") {
    PublishBool(
        "Checked", [this] { return checked; }, [this](bool b) { checked = b; });
    PublishInt(
        "Tag", [this] { return number; }, [this](long long i) { number = i; });
    PublishString(
        "Hint", [this] { return text; }, [this](const std::string& t) { text = t; });
  }
};

struct Owner : base::Component {
  Owner() : Component(nullptr, "Form1", "TForm1") {}
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  Owner owner;
  owner.Create<Part>("Part1");
  Store store;
  for (const char* key : {"Part1.Checked", "Part1.Tag", "Part1.Hint", "Top", "Left"}) {
    store.values[key] = in.ConsumeRandomLengthString(64);
  }
  settings::PersistentNames names;
  names.Add("Checked");
  names.Add("Tag");
  names.Add("Hint");
  settings::LoadProperties(store, "Form1", owner, settings::ByNames(names));
  settings::ReadBounds(store, "Form1");
  const std::string number = in.ConsumeRemainingBytesAsString();
  settings::ParseBound(number);
  try {
    base::StrToInt(number);
  } catch (const base::ConvertError&) {
  }
  return 0;
}
