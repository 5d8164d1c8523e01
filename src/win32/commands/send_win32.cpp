#include "win32/commands/send_win32.h"

#include "win32/base/guards_win32.h"
#include "win32/controls/list_view_win32.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>
#include <new>

namespace vosko {
namespace {

// The shell's mail-recipient drop target.
constexpr CLSID kMailRecipient = {0x9E56BE60, 0xC50F, 0x11CF, {0x9A, 0x2C, 0x00, 0xA0, 0xC9, 0x0A, 0x90, 0xCE}};

FORMATETC HdropFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// One object serves as the data object and as its format enumerator; the one format is
// handed out once per enumeration.
class QuoteFileDataObject final : public IDataObject, public IEnumFORMATETC {
 public:
  // `files`: each path followed by a NUL, then one more NUL.
  explicit QuoteFileDataObject(std::string files) : files_(std::move(files)) {}
  QuoteFileDataObject(const QuoteFileDataObject&) = delete;
  QuoteFileDataObject& operator=(const QuoteFileDataObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
      *out = static_cast<IDataObject*>(this);
    } else if (IsEqualIID(iid, IID_IEnumFORMATETC)) {
      *out = static_cast<IEnumFORMATETC*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&references_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
    if (format == nullptr || medium == nullptr) return E_INVALIDARG;
    if (format->cfFormat != CF_HDROP || (format->tymed & TYMED_HGLOBAL) == 0) return DV_E_FORMATETC;
    HGLOBAL block = DropFilesBlock();
    if (block == nullptr) return E_OUTOFMEMORY;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = block;
    medium->pUnkForRelease = nullptr;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
    if (format == nullptr) return E_INVALIDARG;
    return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) != 0 ? S_OK : DV_E_FORMATETC;
  }
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out != nullptr) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  // Storing data would take ownership of the medium; the caller keeps it.
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    pending_ = true;  // a new enumeration starts at the format
    AddRef();
    *out = this;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD* connection) override {
    if (connection != nullptr) *connection = 0;
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG count, FORMATETC* formats, ULONG* fetched) override {
    if (fetched != nullptr) *fetched = 0;
    if (count == 0) return S_OK;
    if (formats == nullptr) return E_POINTER;
    if (!pending_) return S_FALSE;
    pending_ = false;
    formats[0] = HdropFormat();
    if (fetched != nullptr) *fetched = 1;
    return count == 1 ? S_OK : S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG) override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Reset() override {
    pending_ = true;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumFORMATETC** out) override {
    if (out != nullptr) *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  ~QuoteFileDataObject() = default;

  // A DROPFILES header with the list at its end (offset 20), the point (0, 0) in the
  // non-client area, single-byte names; then the list and two more NULs.
  HGLOBAL DropFilesBlock() const {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + files_.size() + 2);
    if (block == nullptr) return nullptr;
    {
      const LockedMemory locked(block);
      if (locked.data() != nullptr) {
        auto* drop = reinterpret_cast<DROPFILES*>(locked.data());
        drop->pFiles = sizeof(DROPFILES);
        drop->pt = {0, 0};
        drop->fNC = TRUE;
        drop->fWide = FALSE;
        std::memcpy(locked.data() + sizeof(DROPFILES), files_.data(), files_.size());
        return block;
      }
    }
    GlobalFree(block);
    return nullptr;
  }

  LONG references_ = 1;
  bool pending_ = true;
  std::string files_;
};

static_assert(sizeof(DROPFILES) == 20, "the file list starts at offset 20 in both builds");

// Dropped as if dragged onto the shell's mail-recipient target with the left button; the
// target's answers change nothing.
void DropOnMailRecipient(IDataObject* data) {
  IDropTarget* target = nullptr;

  if (SUCCEEDED(CoCreateInstance(kMailRecipient, nullptr,
                                 CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER, IID_IDropTarget,
                                 reinterpret_cast<void**>(&target))) &&
      target != nullptr) {
    const POINTL point = {0, 0};
    DWORD effect = 0;
    target->DragEnter(data, MK_LBUTTON, point, &effect);
    target->Drop(data, MK_LBUTTON, point, &effect);
    target->Release();
  }
}

}  // namespace

IDataObject* NewQuoteFileDataObject(const std::vector<std::string>& paths) {
  std::string files;
  for (const std::string& path : paths) {
    files += path;
    files += '\0';
  }
  files += '\0';
  return new (std::nothrow) QuoteFileDataObject(std::move(files));
}

void SendSelectedQuoteFiles() {
  std::vector<std::string> paths;
  for (int row : SelectedRows()) {
    if (std::optional<std::string> path = RowFilePath(row)) paths.push_back(*path);
  }
  if (paths.empty()) return;
  IDataObject* data = NewQuoteFileDataObject(paths);
  if (data == nullptr) return;
  {
    const ComInitialized com;
    DropOnMailRecipient(data);
  }
  data->Release();
}

}  // namespace vosko
