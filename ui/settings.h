#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace halvic::ui {

/**
 * The few things the program remembers between runs (the observing details of the last FITS
 * export), by key. The desktop program keeps them in the user's settings; a scripted session
 * keeps them in memory, starting empty, so that it never reads or changes the user's.
 */
class Settings {
 public:
  virtual ~Settings() = default;
  virtual std::optional<std::string> value(std::string_view key) const = 0;
  virtual void setValue(std::string_view key, const std::string& value) = 0;
};

/** Settings held in memory for the life of the object. */
class MemorySettings : public Settings {
 public:
  std::optional<std::string> value(std::string_view key) const override {
    const auto found = values_.find(std::string(key));
    return found == values_.end() ? std::nullopt : std::optional<std::string>(found->second);
  }
  void setValue(std::string_view key, const std::string& value) override {
    values_[std::string(key)] = value;
  }

 private:
  std::map<std::string, std::string> values_;
};

}  // namespace halvic::ui
