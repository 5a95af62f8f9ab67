// The desktop's shells: the File Manager extension (QL53FM.DLL registered in winfile.ini) and
// Program Manager groups and items, made through QL5DINTL.DLL from two dialogs.
#pragma once
#include <windows.h>

#include <string>

namespace ql {

// File Manager reads its extensions from this section of winfile.ini when it starts.
constexpr const char* kFileManagerIni = "winfile.ini";
constexpr const char* kFileManagerSection = "Addons";
constexpr const char* kFileManagerKey = "Quillon Extension";

// Writes (or deletes) the "Quillon Extension" entry naming QL53FM.DLL of `programDirectory`.
void InstallFileManagerExtension(const char* programDirectory);
void RemoveFileManagerExtension();

// "Create A New Group Window" (template CreateGroup): on OK the group is made through ordinal 100
// of QL5DINTL.DLL in `programDirectory`.
void NewGroupDialog(HWND owner, const char* programDirectory);
// "Add Item To A Group" (template AddItem), the program name starting as `program`: on OK the item
// is added through ordinal 103.
void NewItemDialog(HWND owner, const char* programDirectory, const std::string& program);

}  // namespace ql
