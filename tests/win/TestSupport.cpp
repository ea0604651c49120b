#include "TestSupport.h"

#include "ui/Application.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

namespace testing_support {

TempFolder::TempFolder()
{
    static std::atomic<int> counter{0};
    char base[MAX_PATH];
    GetTempPathA(static_cast<DWORD>(std::size(base)), base);
    path_ = std::string(base) + "veld-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) +
            "\\";
    RemoveTree(path_);
    MakeFolder(path_);
}

TempFolder::~TempFolder() { RemoveTree(path_); }

void WriteFile(const std::string& path, const std::string& contents)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << contents;
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream contents;
    contents << in.rdbuf();
    return contents.str();
}

bool FileExists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void RemoveTree(const std::string& path)
{
    std::string dir = path;
    if (!dir.empty() && dir.back() == '\\')
        dir.pop_back();
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string child = dir + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    RemoveDirectoryA(dir.c_str());
}

void PumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

ProgramFolder::ProgramFolder()
{
    ui::Application& app = ui::Application::Instance();
    app.Initialize(GetModuleHandleA(nullptr));
    app.SetTitle("Veldana");
    app.SetErrorSink([this](const std::string& text) { errors.push_back(text); });
    ui::SetProgramDirForTests(Path());
}

ProgramFolder::~ProgramFolder() { ui::Application::Instance().SetErrorSink(nullptr); }

void FormHarness::Start()
{
    form_ = std::make_unique<TForm1>();
    Form1 = form_.get();
    ui::Application::Instance().SetMainWindow(nullptr);
    form_->Create();
    PumpMessages();
}

void FormHarness::CloseWindow()
{
    form_->Close();
    PumpMessages();
}

FormHarness::~FormHarness()
{
    form_.reset();
    Form1 = nullptr;
    WallpaperDir.clear();
    ui::Application::Instance().SetMainWindow(nullptr);
    // PostQuitMessage from the destroyed main window must not leak into the next test.
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
}

}  // namespace testing_support

int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
