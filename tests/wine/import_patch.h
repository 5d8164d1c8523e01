// Makes one system call of a module fail (or be watched) for as long as a patch lives, by
// replacing that module's import address table entry: the tests' way to reach the failure
// paths that a working system never takes, with nothing added to the product for it.
#pragma once

#include <windows.h>

namespace vtest {

// A stand-in function as an import table holds it.
template <typename Function>
const void* StandIn(Function* function) {
  return reinterpret_cast<const void*>(function);
}

class ImportPatch {
 public:
  // Replaces `function` that `module` imports by name from `dll` (compared without case).
  ImportPatch(HMODULE module, const char* dll, const char* function, const void* replacement);
  ~ImportPatch();
  ImportPatch(const ImportPatch&) = delete;
  ImportPatch& operator=(const ImportPatch&) = delete;

  // False when the module does not import the function by name.
  bool ok() const { return slot_ != nullptr; }
  // The function the module called before; a stand-in patched into the calling module's
  // own table reaches the real function only through it.
  template <typename Function>
  Function original() const {
    return reinterpret_cast<Function>(original_);
  }

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace vtest
