// Send: the data object that offers the selected quote files, and the hand-over to a drop
// target registered here under the mail recipient's class, on a main window made in this
// process.
#include "harness.h"
#include "in_process.h"

#include "win32/commands/send_win32.h"
#include "win32/app/main_window_win32.h"
#include "win32/controls/list_view_win32.h"

#include <ole2.h>
#include <shlobj.h>
#include <shellapi.h>

#include <cstring>

namespace vtest {
namespace {

constexpr CLSID kMailRecipient = {0x9E56BE60, 0xC50F, 0x11CF, {0x9A, 0x2C, 0x00, 0xA0, 0xC9, 0x0A, 0x90, 0xCE}};

std::string BlockBytes(HGLOBAL block) {
  const char* bytes = static_cast<const char*>(GlobalLock(block));
  std::string copy(bytes, GlobalSize(block));
  GlobalUnlock(block);
  return copy;
}

TEST(QuoteFileDataObject, OffersTheFilesAsOneDropBlock) {
  IDataObject* data = vosko::NewQuoteFileDataObject({"C:\\q\\a.lsq", "C:\\q\\bb.lsq"});
  ASSERT_NE(data, nullptr);
  FORMATETC hdrop = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium = {};
  ASSERT_EQ(data->GetData(&hdrop, &medium), S_OK);
  const std::string header(
      "\x14\0\0\0"
      "\0\0\0\0"
      "\0\0\0\0"
      "\x01\0\0\0"
      "\0\0\0\0",
      20);
  EXPECT_EQ(BlockBytes(medium.hGlobal), header + std::string("C:\\q\\a.lsq\0C:\\q\\bb.lsq\0\0\0\0", 26));
  ReleaseStgMedium(&medium);

  // Another format: refused, the medium untouched.
  FORMATETC text = {CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  std::memset(&medium, 0xAB, sizeof medium);
  EXPECT_TRUE(FAILED(data->GetData(&text, &medium)));
  EXPECT_EQ(medium.tymed, 0xABABABABu);
  EXPECT_EQ(data->QueryGetData(&text), DV_E_FORMATETC);
  EXPECT_EQ(data->QueryGetData(&hdrop), S_OK);

  // The one format, once per enumeration and again after Reset.
  IEnumFORMATETC* formats = nullptr;
  ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &formats), S_OK);
  for (int round = 0; round < 2; ++round) {
    FORMATETC got = {};
    ULONG fetched = 7;
    EXPECT_EQ(formats->Next(1, &got, &fetched), S_OK) << round;
    EXPECT_EQ(fetched, 1u);
    EXPECT_TRUE(got.cfFormat == CF_HDROP && got.ptd == nullptr && got.dwAspect == DVASPECT_CONTENT &&
                got.lindex == -1 && got.tymed == TYMED_HGLOBAL);
    EXPECT_EQ(formats->Next(1, &got, &fetched), S_FALSE) << round;
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(formats->Reset(), S_OK);
  }
  IEnumFORMATETC* clone = formats;
  EXPECT_EQ(formats->Clone(&clone), E_NOTIMPL);
  EXPECT_EQ(clone, nullptr);
  formats->Release();
  EXPECT_TRUE(FAILED(data->EnumFormatEtc(DATADIR_SET, &formats)));
  EXPECT_EQ(formats, nullptr);

  // Unknown interfaces and what is not implemented give null outputs.
  void* other = data;
  EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &other), E_NOINTERFACE);
  EXPECT_EQ(other, nullptr);
  EXPECT_EQ(data->GetDataHere(&hdrop, &medium), E_NOTIMPL);
  IEnumSTATDATA* advises = reinterpret_cast<IEnumSTATDATA*>(data);
  EXPECT_EQ(data->EnumDAdvise(&advises), E_NOTIMPL);
  EXPECT_EQ(advises, nullptr);

  EXPECT_EQ(data->Release(), 0u);
}

// A drop target that records what it is given: the paths of the CF_HDROP data on Drop.
struct DropLog {
  int created = 0, enters = 0, drops = 0;
  DWORD keys = 0;
  std::vector<std::string> files;
};

// Its own class factory: the test registers it under the mail recipient's class.
class RecordingTarget final : public IDropTarget, public IClassFactory {
 public:
  explicit RecordingTarget(DropLog& log) : log_(log) {}
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
    } else if (IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the test
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
    ++log_.created;
    return QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD keys, POINTL, DWORD* effect) override {
    ++log_.enters;
    log_.keys = keys;
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD*) override {
    ++log_.drops;
    FORMATETC hdrop = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->GetData(&hdrop, &medium) != S_OK) return E_FAIL;
    auto drop = static_cast<HDROP>(medium.hGlobal);
    for (UINT i = 0, count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); i < count; ++i) {
      char path[MAX_PATH] = {};
      DragQueryFileA(drop, i, path, sizeof path);
      log_.files.emplace_back(path);
    }
    ReleaseStgMedium(&medium);
    return S_OK;
  }

 private:
  DropLog& log_;
};

using SendSelectedQuoteFiles = InProcessTest;

TEST_F(SendSelectedQuoteFiles, DropsTheSelectedFilesOnTheMailRecipient) {
  for (std::string name : {"a", "b", "c"}) WriteFileBytes(quotes_.File(name + ".lsq"), "@@TITLE=" + name + "\r\n");
  ASSERT_TRUE(vosko::BuildListView());
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  DropLog log;
  RecordingTarget target(log);
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kMailRecipient, static_cast<IClassFactory*>(&target), CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie),
            S_OK);

  // No selection: no target is made.
  SelectListRows(state_.list_view, {}, -1);
  vosko::SendSelectedQuoteFiles();
  EXPECT_EQ(log.created, 0);

  SelectListRows(state_.list_view, {0, 2}, 0);
  vosko::SendSelectedQuoteFiles();
  EXPECT_EQ(log.created, 1);
  EXPECT_EQ(log.enters, 1);
  EXPECT_EQ(log.drops, 1);
  EXPECT_EQ(log.keys, static_cast<DWORD>(MK_LBUTTON));
  EXPECT_EQ(log.files, (std::vector<std::string>{quotes_.File("a.lsq"), quotes_.File("c.lsq")}));

  CoRevokeClassObject(cookie);
  CoUninitialize();
}

}  // namespace
}  // namespace vtest
