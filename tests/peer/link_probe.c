/* peer_link: reads a shell link as the shell does when it starts one.
 *   peer_link <file.lnk>
 * Loads the link through IPersistFile, lets IShellLinkA resolve it without any
 * window, and prints three lines: the target path, the working folder, and
 * "exists" or "missing" for the target file. Exit code 1 when the file is not a
 * link the shell can load or resolve. */
#define COBJMACROS
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <stdio.h>

int main(int argc, char** argv) {
  IShellLinkA* link = NULL;
  IPersistFile* file = NULL;
  WCHAR wide[MAX_PATH];
  char target[MAX_PATH] = "", folder[MAX_PATH] = "";
  WIN32_FIND_DATAA found;
  DWORD attributes;
  int rc = 1;
  if (argc != 2) {
    fprintf(stderr, "usage: peer_link <file.lnk>\n");
    return 2;
  }
  if (FAILED(CoInitialize(NULL))) return 1;
  if (MultiByteToWideChar(CP_ACP, 0, argv[1], -1, wide, MAX_PATH) > 0 &&
      SUCCEEDED(CoCreateInstance(&CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, &IID_IShellLinkA, (void**)&link)) &&
      SUCCEEDED(IShellLinkA_QueryInterface(link, &IID_IPersistFile, (void**)&file)) &&
      SUCCEEDED(IPersistFile_Load(file, wide, STGM_READ)) &&
      /* No user interface and no rewriting of the link: a pure look-up. */
      SUCCEEDED(IShellLinkA_Resolve(link, NULL, SLR_NO_UI | SLR_NOUPDATE | (1000 << 16))) &&
      SUCCEEDED(IShellLinkA_GetPath(link, target, MAX_PATH, &found, 0)) &&
      SUCCEEDED(IShellLinkA_GetWorkingDirectory(link, folder, MAX_PATH))) {
    attributes = GetFileAttributesA(target);
    printf("%s\n%s\n%s\n", target, folder,
           attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) ? "exists" : "missing");
    rc = 0;
  }
  if (file) IPersistFile_Release(file);
  if (link) IShellLinkA_Release(link);
  CoUninitialize();
  return rc;
}
