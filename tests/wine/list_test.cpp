// The list of quote files: the order of its rows, and Send's hand-over of the selected
// files to the mail recipient.
#include "harness.h"

#include "contract/resource_ids.h"
#include "engine/catalog_entry.h"
#include "win32/base/host_code_page_win32.h"

#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>

#include <climits>
#include <map>

namespace vtest {
namespace {

using QuoteFile = std::pair<const char*, const char*>;  // name and title (nullptr: no title line)

// Case, accents and high bytes, punctuation the word sort skips, digits, titles that are
// equal (or equal to the word sort only) in several files, an empty and a missing title.
const QuoteFile kFiles[] = {
    {"b1.lsq", "b"},           {"b2.lsq", "B"},        {"a1.lsq", "a"},       {"a2.lsq", "A"},
    {"empty.lsq", ""},         {"coop1.lsq", "co-op"}, {"coop2.lsq", "coop"}, {"coop3.lsq", "Coop"},
    {"coop4.lsq", "co op"},    {"n10.lsq", "10"},      {"n9.lsq", "9"},       {"n1.lsq", "1"},
    {"ete1.lsq", "\xe9t\xe9"}, {"ete2.lsq", "ete"},    {"ete3.lsq", "Ete"},   {"ete4.lsq", "\xc9te"},
    {"x1.lsq", "_x"},          {"x2.lsq", "!x"},       {"x3.lsq", "~x"},      {"x4.lsq", "[x"},
    {"a3.lsq", "a"},           {"ab1.lsq", "a b"},     {"ab2.lsq", "ab"},     {"ae1.lsq", "\xe6"},
    {"ae2.lsq", "ae"},         {"ae3.lsq", "AE"},      {"ss1.lsq", "\xdf"},   {"ss2.lsq", "ss"},
    {"y1.lsq", "\xff"},        {"y2.lsq", "y"},        {"euro.lsq", "\x80"},  {"q1.lsq", "'a"},
    {"q2.lsq", "-a"},          {"q3.lsq", "a-"},       {"b3.lsq", "b"},       {"ete5.lsq", "\xe9t\xe9"},
    {"sp1.lsq", "\xa0x"},      {"sp2.lsq", " x"},      {"b4.lsq", "B"},       {"none1.lsq", nullptr},
    {"none2.lsq", nullptr},    {"z.lsq", "z"},
};

class ListTest : public ExtensionTest {
 protected:
  // The files in the order the directory search lists them, each with its row's title.
  std::vector<std::pair<std::string, std::string>> ListedTitles() const {
    std::map<std::string, std::string> titles;
    for (const auto& row : ListRows(ListView())) titles[row.at(7)] = row[0];
    std::vector<std::pair<std::string, std::string>> listed;
    WIN32_FIND_DATAA found = {};
    HANDLE search = FindFirstFileA(Quotes("*.lsq").c_str(), &found);
    for (bool more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found) != FALSE) {
      listed.emplace_back(found.cFileName, titles[found.cFileName]);
    }
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return listed;
  }

  // The file names in the order a sorting list control gives them, filled one title at a
  // time in `listed` order.
  std::vector<std::string> SortedByControl(const std::vector<std::pair<std::string, std::string>>& listed) const {
    HWND list = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_SORTASCENDING | LVS_REPORT, 0, 0, 0, 0,
                                main_window(), nullptr, GetModuleHandleA(nullptr), nullptr);
    for (const auto& file : listed) {
      LVITEMA item = {};
      item.mask = LVIF_TEXT | LVIF_PARAM;
      item.iItem = INT_MAX;
      item.pszText = const_cast<char*>(file.second.c_str());
      item.lParam = reinterpret_cast<LPARAM>(&file.first);
      SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    std::vector<std::string> names;
    for (int row = 0; row < static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); ++row) {
      LVITEMA item = {};
      item.mask = LVIF_PARAM;
      item.iItem = row;
      SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
      names.push_back(*reinterpret_cast<const std::string*>(item.lParam));
    }
    DestroyWindow(list);
    return names;
  }

  std::vector<std::string> RowFileNames() const {
    std::vector<std::string> names;
    for (const auto& row : ListRows(ListView())) names.push_back(row.at(7));
    return names;
  }
};

// The scan inserts its rows already in title order into a list that does not sort them; the
// order must be the one the sorting list control gives when the files are added one by one
// in directory order, as the scan used to add them.
TEST_F(ListTest, RowsComeInTheSortingControlsOrder) {
  for (int view : {3, 0, 1, 2}) {
    for (const QuoteFile& file : kFiles) {
      std::string text = file.second ? std::string("@@TITLE=") + file.second + "\r\n" : std::string();
      WriteQuoteFile(file.first, text + "@@AUTHOR=Someone\r\n\r\nA quote.\r\n");
    }
    WriteSettings("ViewOption=" + std::to_string(view) + "\r\n");
    ASSERT_EQ(OpenAndShow(), 1) << view;
    auto listed = ListedTitles();
    ASSERT_EQ(listed.size(), std::size(kFiles)) << view;
    EXPECT_EQ(RowFileNames(), SortedByControl(listed)) << "view " << view;
    // The list sorts again after the scan: a file added later goes where the control puts it.
    CreateThrough(IDC_NEW, {{IDC_NEW_TITLE, "b"}, {IDC_NEW_FILE_NAME, "later"}});
    listed.emplace_back("later.lsq", "b");
    EXPECT_EQ(RowFileNames(), SortedByControl(listed)) << "view " << view;
    Close();
    DeleteFileA(Quotes("later.lsq").c_str());
  }
}

// A folder larger than what is read before the window shows fills in afterwards, between
// the window's messages, in the order a filling at once gives; a command finishes it first.
TEST_F(ListTest, ABigFolderFillsInAfterTheWindowShows) {
  constexpr int kCopies = 8;  // 336 files: more than the first slice
  constexpr int kRows = kCopies * static_cast<int>(std::size(kFiles));
  for (int copy = 0; copy < kCopies; ++copy) {
    for (const QuoteFile& file : kFiles) {
      WriteQuoteFile(std::to_string(copy) + file.first, std::string("@@TITLE=") + (file.second ? file.second : "") +
                                                             "\r\n\r\nA quote.\r\n");
    }
  }
  auto rows = [&] { return static_cast<int>(SendMessageA(ListView(), LVM_GETITEMCOUNT, 0, 0)); };
  for (bool by_command : {false, true}) {
    WriteSettings(by_command ? "ViewOption=3\r\n" : "ViewOption=0\r\n", std::string("7z.lsq=") + kRecordA + "\r\n");
    ASSERT_EQ(Open(), 1);
    session_->ShowExtension();
    EXPECT_GT(rows(), 0);
    EXPECT_LT(rows(), kRows);
    EXPECT_EQ(StatusText(StatusBar(), 0), Text(IDS_STATUS_LISTING));
    if (!by_command) {  // closed half-filled first: the records of files not yet read stay
      Close();
      EXPECT_EQ(ReadSetting("VoskoFiles", "7z.lsq"), kRecordA);
      ASSERT_EQ(Open(), 1);
      session_->ShowExtension();
    } else {
      SendMessageA(main_window(), WM_COMMAND, MAKEWPARAM(IDC_RESCAN, BN_CLICKED), 0);
      EXPECT_EQ(rows(), kRows);
    }
    for (int wait = 0; wait < 1000 && rows() < kRows; ++wait) {
      Pump();
      Sleep(10);
    }
    EXPECT_EQ(RowFileNames(), SortedByControl(ListedTitles())) << by_command;
    EXPECT_EQ(StatusText(StatusBar(), 0), Text(IDS_STATUS_IDLE));
    int misplaced = 0;  // in Large Icons, icons out of the rows' order
    POINT last = {-1, -1};
    for (int row = 0; row < rows() && !by_command; ++row) {
      POINT at = {};
      SendMessageA(ListView(), LVM_GETITEMPOSITION, row, reinterpret_cast<LPARAM>(&at));
      misplaced += at.y > last.y || (at.y == last.y && at.x > last.x) ? 0 : 1;
      last = at;
    }
    EXPECT_EQ(misplaced, 0);
    Close();
  }
}

// Titles and authors of Unicode quote files in the ANSI list ("?" for L with stroke, "z"
// for z acute), the size on disk, and the rescan's count of their quotes.
TEST_F(ListTest, UnicodeFilesAreListedInTheCodePage) {
  const std::string text =
      "@@TITLE=Tr\xC3\xA4ume\r\n@@AUTHOR=\xC5\x81\xC3\xB3\x64\xC5\xBA\r\n\r\none\r\n\r\n\xE2\x80\x9Ctwo\r\n";
  for (const std::string& bytes :
       {text, "\xEF\xBB\xBF" + text, Utf16Bytes(text, false, true), Utf16Bytes(text, true, true)}) {
    WriteQuoteFile("u.lsq", bytes);
    WriteSettings("ViewOption=3\r\n");
    ASSERT_EQ(OpenAndShow(), 1);
    Press(IDC_RESCAN);
    const std::vector<std::string> row = ListRows(ListView()).at(0);
    EXPECT_EQ(row[0], "Tr\xE4ume") << bytes;
    EXPECT_EQ(row[1], "?\xF3\x64z") << bytes;
    EXPECT_EQ(row[2], vosko::CatalogSizeText(bytes.size())) << bytes;
    EXPECT_EQ(row[3], "2") << bytes;
    Close();
  }
}

// A code page without a table of the engine's is the system's: a double-byte one converts
// both ways, and on 1252 the system and the table agree on what is held and what is lost.
TEST(HostCodePage, TheSystemsConversionAgreesWithTheTable) {
  const auto japanese = vosko::SystemCodePage(932);
  std::string ansi, utf8;
  EXPECT_EQ(japanese->Encode(0x3042, ansi), vosko::CodePage::Fit::Exact);
  EXPECT_EQ(ansi, "\x82\xA0");
  japanese->AppendUtf8("a\x82\xA0", utf8);
  EXPECT_EQ(utf8, "a\xE3\x81\x82");
  const auto system = vosko::SystemCodePage(1252);
  for (char32_t c : {0x61u, 0xE9u, 0x20ACu, 0x201Cu, 0x4E2Du, 0x1F600u}) {
    std::string from_system, from_table;
    EXPECT_EQ(system->Encode(c, from_system), vosko::BuiltInCodePage(1252)->Encode(c, from_table))
        << static_cast<unsigned>(c);
    EXPECT_EQ(from_system, from_table) << static_cast<unsigned>(c);
  }
}

// A drop target registered under the mail recipient's class, that keeps the paths it is
// given; its own class factory.
class RecordingTarget final : public IDropTarget, public IClassFactory {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    const bool target = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget);
    IClassFactory* factory = this;
    *out = target                               ? static_cast<void*>(static_cast<IDropTarget*>(this))
           : IsEqualIID(iid, IID_IClassFactory) ? static_cast<void*>(factory)
                                                : nullptr;
    return *out != nullptr ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the test
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
    ++created;
    return QueryInterface(iid, out);
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD*) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD*) override {
    FORMATETC hdrop = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->GetData(&hdrop, &medium) != S_OK) return E_FAIL;
    auto drop = static_cast<HDROP>(medium.hGlobal);
    for (UINT i = 0, count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0); i < count; ++i) {
      char path[MAX_PATH] = {};
      DragQueryFileA(drop, i, path, sizeof path);
      files.emplace_back(path);
    }
    ReleaseStgMedium(&medium);
    return S_OK;
  }
  int created = 0;
  std::vector<std::string> files;
};

TEST_F(ListTest, SendDropsTheSelectedFilesOnTheMailRecipient) {
  constexpr CLSID kMailRecipient = {0x9E56BE60, 0xC50F, 0x11CF, {0x9A, 0x2C, 0x00, 0xA0, 0xC9, 0x0A, 0x90, 0xCE}};
  StandardFiles();
  WriteQuoteFile("c.lsq", "@@TITLE=C\r\n");
  ASSERT_EQ(CoInitialize(nullptr), S_OK);
  RecordingTarget target;
  DWORD cookie = 0;
  ASSERT_EQ(CoRegisterClassObject(kMailRecipient, static_cast<IClassFactory*>(&target), CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  ASSERT_EQ(OpenAndShow(), 1);
  SelectListRows(ListView(), {}, -1);
  Press(IDC_SEND);
  EXPECT_EQ(target.created, 0);  // no selection: no target is made
  SelectListRows(ListView(), {0, 2}, 0);
  Press(IDC_SEND);
  EXPECT_EQ(target.created, 1);
  EXPECT_EQ(target.files, (std::vector<std::string>{Quotes("a.lsq"), Quotes("c.lsq")}));
  Close();
  CoRevokeClassObject(cookie);
  CoUninitialize();
}

}  // namespace
}  // namespace vtest
