// Both directions of the Info-ZIP check (infozip_check.sh), through the engine libraries called as
// Quillon calls them: writes archives with the zip engine for `unzip` to check, and tests and
// extracts the archives Info-ZIP's zip made (iz_*.zip) with the unzip engine.
// Argument: the output directory (a Windows path).
#include <windows.h>

#include <cstdio>
#include <string>

typedef int(WINAPI* ZipFn)(HWND, LPCSTR, DWORD, int);
typedef int(WINAPI* UnzipFn)(HWND, LPCSTR, DWORD);

static void Put(const std::string& path, const std::string& data) {
  std::string dir = path.substr(0, path.find_last_of('\\'));
  for (size_t p = 3; p <= dir.size(); ++p)
    if (p == dir.size() || dir[p] == '\\') CreateDirectoryA(dir.substr(0, p).c_str(), nullptr);
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD n = 0;
  WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &n, nullptr);
  CloseHandle(h);
}

static std::string Content(size_t n, unsigned seed, bool noise) {
  std::string s(n, '\0');
  unsigned x = seed | 1;
  for (size_t i = 0; i < n; ++i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    s[i] = noise ? static_cast<char>(x) : "abc de\r\nfgh ij"[x % 14];
  }
  return s;
}

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string out = argv[1];
  std::string dll = std::string(QL_PROGRAM_DIR_WIN) + "\\QL53NTI2.DLL";
  HMODULE lib = LoadLibraryA(dll.c_str());
  ZipFn zip = lib ? reinterpret_cast<ZipFn>(GetProcAddress(lib, "zip")) : nullptr;
  if (!zip) {
    std::printf("cannot load %s\n", dll.c_str());
    return 3;
  }
  std::string src = out + "\\src", work = out + "\\QL5TEMP";
  Put(src + "\\readme.txt", Content(4000, 1, false));
  Put(src + "\\empty.txt", "");
  Put(src + "\\docs\\guide.txt", Content(300000, 2, false));
  Put(src + "\\docs\\deep\\blob.bin", Content(70000, 3, true));
  Put(src + "\\big\\large.txt", Content(9u << 20, 4, false));  // streamed
  Put(work + "\\ql5files", "*.*\r\n");
  SetCurrentDirectoryA(src.c_str());
  const char* variants[][2] = {
      {"max", "| -ex"}, {"normal", "| -en"}, {"fast", "| -es"}, {"stored", "| -e0"},
      {"scrambled", "| -ex| -ss3cret"}, {"scrambled_stored", "| -e0| -sp4ss"},
  };
  int failures = 0;
  for (auto& v : variants) {
    std::string arc = out + "\\" + v[0] + ".zip";
    DeleteFileA(arc.c_str());
    std::string args = "-a |" + arc + v[1] + "| -rp| -P| -b" + work + "\\| @" + work + "\\ql5files| -q";
    int r = zip(nullptr, args.c_str(), 0x3B9A5E, 0);
    std::printf("%s: %d\n", v[0], r);
    failures += r != 0;
  }
  // Changes to an existing archive: delete and freshen keep it valid.
  std::string arc = out + "\\changed.zip";
  DeleteFileA(arc.c_str());
  failures += zip(nullptr, ("-a |" + arc + "| -rp| -P| -b" + work + "\\| @" + work + "\\ql5files| -q").c_str(),
                  0x3B9A5E, 0) != 0;
  Put(work + "\\ql5files", "docs/guide.txt\r\n");
  failures += zip(nullptr, ("-d| " + arc + "| @" + work + "\\ql5files| -b" + work + "\\| -q").c_str(), 0x3B9A5E, 0) != 0;
  failures += zip(nullptr, (arc + "| -a| -P| -b" + work + "\\| docs\\guide.txt| -q").c_str(), 0x3B9A5E, 0) != 0;

  // Info-ZIP's archives through the unzip engine: test, then extract with paths.
  HMODULE ulib = LoadLibraryA((std::string(QL_PROGRAM_DIR_WIN) + "\\QL53NTI1.DLL").c_str());
  UnzipFn unzip = ulib ? reinterpret_cast<UnzipFn>(GetProcAddress(ulib, "unzip")) : nullptr;
  if (!unzip) return failures + 100;
  const char* iz[][2] = {{"iz_stored", ""}, {"iz_deflated", ""}, {"iz_encrypted", "| -ss3cret"},
                         {"iz_streamed", ""}, {"iz_streamed_encrypted", "| -spw"}, {"iz_commented", ""}};
  for (auto& z : iz) {
    std::string path = out + "\\" + z[0] + ".zip";
    int t = unzip(nullptr, ("-t| " + path + z[1] + "| -q").c_str(), 0x3B9A5E);
    int x = unzip(nullptr, (path + "| -d| -o" + z[1] + "| " + out + "\\x_" + z[0] + "\\| -q").c_str(), 0x3B9A5E);
    std::printf("%s: test %d, extract %d\n", z[0], t, x);
    failures += (t != 0) + (x != 0);
  }
  return failures;
}
