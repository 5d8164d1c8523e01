// The user's regional settings for the date and time written into generated files.
//
// On Windows they are the [intl] keys of WIN.INI, read fresh at every call; elsewhere, and in
// tests, any implementation may answer.  The engine applies the defaults and what is kept of
// each key (ReadIntlSettings in engine/text_format.h), so an implementation only looks keys up.
#pragma once

#include <string>

namespace vosko {

class RegionalSettings {
 public:
  virtual ~RegionalSettings() = default;
  // The integer of `key`, or `fallback` when the key is missing (GetProfileIntA's contract).
  virtual int Integer(const char* key, int fallback) const = 0;
  // The text of `key`, or `fallback` when the key is missing (GetProfileStringA's contract).
  virtual std::string Text(const char* key, const char* fallback) const = 0;
};

// No settings at all: every key takes its default.
class DefaultRegionalSettings final : public RegionalSettings {
 public:
  int Integer(const char*, int fallback) const override { return fallback; }
  std::string Text(const char*, const char* fallback) const override { return fallback; }
};

}  // namespace vosko
