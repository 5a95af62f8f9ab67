// A stand-in for another program that takes dropped files: its window accepts them both ways a
// program can (the drop-files message and an OLE drop target) and writes the paths it receives,
// one a line, to the file named by its first argument (whole, by a rename), then ends.
// Usage: drop_receiver OUTPUT [TIMEOUT_MS]
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string g_output;

void Record(HDROP drop, const char* how) {
  std::string text = std::string(how) + "\n";
  UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < n; ++i) {
    char name[MAX_PATH] = "";
    DragQueryFileA(drop, i, name, sizeof name);
    text += name;
    text += "\n";
  }
  std::string temp = g_output + ".tmp";
  FILE* f = fopen(temp.c_str(), "wb");
  if (!f) return;
  fwrite(text.data(), 1, text.size(), f);
  fclose(f);
  MoveFileExA(temp.c_str(), g_output.c_str(), MOVEFILE_REPLACE_EXISTING);
}

class Target : public IDropTarget {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
    *effect = DROPEFFECT_COPY;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE DragLeave() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    FORMATETC f{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM m{};
    *effect = DROPEFFECT_NONE;
    if (FAILED(data->GetData(&f, &m))) return S_OK;
    Record(static_cast<HDROP>(m.hGlobal), "ole");
    ReleaseStgMedium(&m);
    *effect = DROPEFFECT_COPY;
    PostQuitMessage(0);
    return S_OK;
  }
};
Target g_target;

LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  switch (m) {
    case WM_DROPFILES:
      Record(reinterpret_cast<HDROP>(w), "message");
      DragFinish(reinterpret_cast<HDROP>(w));
      PostQuitMessage(0);
      return 0;
    case WM_TIMER:
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(h, m, w, l);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  g_output = argv[1];
  const UINT timeout = argc > 2 ? static_cast<UINT>(atoi(argv[2])) : 60000;
  OleInitialize(nullptr);
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = "QLDropReceiver";
  RegisterClassA(&wc);
  HWND h = CreateWindowExA(WS_EX_TOPMOST | WS_EX_ACCEPTFILES, "QLDropReceiver", "Drop Receiver",
                           WS_OVERLAPPEDWINDOW, 560, 380, 260, 180, nullptr, nullptr, wc.hInstance, nullptr);
  if (!h) return 3;
  RegisterDragDrop(h, &g_target);
  ShowWindow(h, SW_SHOW);
  UpdateWindow(h);
  SetTimer(h, 1, timeout, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  RevokeDragDrop(h);
  DestroyWindow(h);
  OleUninitialize();
  return 0;
}
