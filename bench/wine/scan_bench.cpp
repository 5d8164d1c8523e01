// Times the catalog scan: opens the extension on a prepared home directory (its settings
// file names the quote folder) and measures the late set-up, which builds the list view.
// For comparison it also times reading every compile record key by key.
//
//   vosko_scan_bench.exe HOME_DIRECTORY
#include "bench_support.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

using vtest::ExeDirectory;
using vtest::Seconds;

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fputs("usage: vosko_scan_bench HOME_DIRECTORY\n", stderr);
    return 2;
  }
  const std::string home = argv[1];
  const std::string settings = home + "\\Tarno.pm";
  vtest::BenchHost host;
  if (!host.Create(home) || !host.OpenExtension()) return 1;
  voskohost::HostSession& session = host.session();
  LARGE_INTEGER start;
  QueryPerformanceCounter(&start);
  session.ShowExtension();
  LARGE_INTEGER end = host.WaitForWholeList();
  std::printf("scan: %ld rows in %.3f s\n", host.rows(), Seconds(start, end));

  // The same records read one key at a time, as a scan without the section read would.
  std::vector<char> names(1 << 22);
  DWORD length = GetPrivateProfileStringA("VoskoFiles", nullptr, "", names.data(), static_cast<DWORD>(names.size()),
                                          settings.c_str());
  long keys = 0;
  QueryPerformanceCounter(&start);
  for (const char* key = names.data(); key < names.data() + length && *key != '\0'; key += lstrlenA(key) + 1) {
    char value[255];
    GetPrivateProfileStringA("VoskoFiles", key, "", value, sizeof value, settings.c_str());
    ++keys;
  }
  QueryPerformanceCounter(&end);
  std::printf("key by key: %ld records in %.3f s\n", keys, Seconds(start, end));
  session.Close();
  return 0;
}
