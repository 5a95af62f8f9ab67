// Drives of other kinds for the time of a test (a fresh Wine prefix has only the fixed C: and Z:):
// a directory of the test becomes a floppy, CD-ROM, RAM or network drive through Wine's mount
// manager, the way winecfg makes one (the layout of Wine's own request record), and goes again at
// the end. Not under Wine (no mount manager) no drive is made.
#pragma once
#include <windows.h>
#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

namespace qltest {

class WineDrive {
 public:
  // `type` is a GetDriveType value: DRIVE_REMOVABLE (a floppy on A: or B:), DRIVE_CDROM,
  // DRIVE_RAMDISK, DRIVE_REMOTE or DRIVE_FIXED.
  WineDrive(char letter, UINT type, const std::string& windowsDir) : letter_(letter) {
    using UnixName = char*(CDECL*)(const WCHAR*);
    auto toUnix = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!toUnix) return;
    std::wstring wide(windowsDir.begin(), windowsDir.end());
    char* unixPath = toUnix(wide.c_str());
    if (!unixPath) return;
    std::string mountPoint = unixPath;
    HeapFree(GetProcessHeap(), 0, unixPath);
    made_ = Define(type, mountPoint) && GetDriveTypeA(Root().c_str()) == type;
  }
  ~WineDrive() {
    if (made_) Define(DRIVE_NO_ROOT_DIR, "");
  }
  WineDrive(const WineDrive&) = delete;
  WineDrive& operator=(const WineDrive&) = delete;

  bool made() const { return made_; }
  char letter() const { return letter_; }
  std::string Root() const { return std::string(1, letter_) + ":\\"; }

 private:
  struct Request {
    ULONG size, type, fsType;
    DWORD serial;
    ULONGLONG unixDev;
    WCHAR letter;
    USHORT mountPointOffset, deviceOffset, labelOffset;
  };
  bool Define(UINT type, const std::string& mountPoint) {
    std::vector<char> buf(sizeof(Request) + mountPoint.size() + 1, 0);
    Request* r = reinterpret_cast<Request*>(buf.data());
    r->size = static_cast<ULONG>(buf.size());
    r->type = type;
    r->letter = static_cast<WCHAR>(letter_ | 0x20);
    if (!mountPoint.empty()) {
      r->mountPointOffset = sizeof(Request);
      std::memcpy(buf.data() + sizeof(Request), mountPoint.c_str(), mountPoint.size() + 1);
    }
    HANDLE mgr = CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE) return false;
    const DWORD defineUnixDrive = CTL_CODE('m', 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);
    DWORD got = 0;
    BOOL ok = DeviceIoControl(mgr, defineUnixDrive, buf.data(), static_cast<DWORD>(buf.size()), nullptr, 0, &got,
                              nullptr);
    CloseHandle(mgr);
    return ok != FALSE;
  }
  char letter_;
  bool made_ = false;
};

}  // namespace qltest
