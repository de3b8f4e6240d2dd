// Planted by the launch tests where an unquoted command line would resolve:
// when started, it leaves a file named "decoy-ran" beside itself and exits.
#include <windows.h>

#include <string>

int main() {
    char path[MAX_PATH + 1] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string marker(path);
    marker.erase(marker.rfind('\\') + 1);
    marker += "decoy-ran";
    HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
    }
    return 0;
}
