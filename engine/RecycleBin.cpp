#include "engine/RecycleBin.h"

#include "engine/FileSystemRedirectionOff.h"
#include "framework/Text.h"
#include "search_page/ResultText.h"

#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cwctype>
#include <map>

namespace
{
const DWORD kShellFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;

// The path as the shell must be given it: a 32-bit program names the real System32 through Sysnative.
std::wstring ShellPathOfFile(const std::string& path)
{
    BOOL redirected = FALSE;
    wchar_t system[MAX_PATH] = {};
    wchar_t windows[MAX_PATH] = {};
    if (IsWow64Process(GetCurrentProcess(), &redirected) && redirected && GetSystemDirectoryW(system, MAX_PATH) &&
        GetSystemWindowsDirectoryW(windows, MAX_PATH))
        return Widen(ShellPathOf(path, Narrow(system), Narrow(windows), true));
    return Widen(path);
}

bool Exists(const std::string& path)
{
    FileSystemRedirectionOff seeFoldersAsTheyAre;
    return GetFileAttributesW(LongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsDeviceName(std::wstring name)
{
    name = name.substr(0, name.find(L'.'));
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(std::towupper(c));
    if (name == L"CON" || name == L"PRN" || name == L"AUX" || name == L"NUL")
        return true;
    return name.size() == 4 && (name.compare(0, 3, L"COM") == 0 || name.compare(0, 3, L"LPT") == 0) &&
           name[3] >= L'1' && name[3] <= L'9';
}

// The shell parses a path in the ordinary form: a name ending in a dot or a
// blank, or a device's name, would be another file there, and '*' or '?' a
// pattern. Such a file is never handed to it.
bool ShellTakesAsItIs(const std::wstring& path)
{
    if (path.size() >= MAX_PATH || path.find_first_of(L"*?/") != std::wstring::npos)
        return false;
    size_t start = 0;
    while (start < path.size())
    {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring::npos)
            end = path.size();
        const std::wstring name = path.substr(start, end - start);
        if (!name.empty() && (name.back() == L'.' || name.back() == L' ') && name != L"." && name != L"..")
            return false;
        if (start > 0 && IsDeviceName(name))
            return false;
        start = end + 1;
    }
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH && path == full;
}

std::wstring Key(std::wstring path)
{
    CharUpperBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

DWORD ErrorOf(HRESULT result)
{
    return HRESULT_FACILITY(result) == FACILITY_WIN32 ? HRESULT_CODE(result) : static_cast<DWORD>(result);
}

// The file operation's notices: before each item, whether it will be recycled;
// after it, what became of it.
class DeleteNotices : public IFileOperationProgressSink
{
public:
    DeleteNotices(const std::map<std::wstring, size_t>& places, const RecycleBin::WillRecycle& willRecycle,
                  std::vector<RecycleBin::Result>& results, std::vector<DWORD>& errors, std::vector<bool>& reported)
        : places(places), willRecycle(willRecycle), results(results), errors(errors), reported(reported)
    {
    }
    virtual ~DeleteNotices() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (iid == IID_IUnknown || iid == IID_IFileOperationProgressSink)
        {
            *object = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }

    // An item that would be deleted for good is refused: it stays where it is.
    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD flags, IShellItem* item) override
    {
        const size_t place = PlaceOf(item);
        if (place == SIZE_MAX)
            return E_ABORT;
        if ((flags & TSF_DELETE_RECYCLE_IF_POSSIBLE) && (!willRecycle || willRecycle(Narrow(pathOf))))
            return S_OK;
        results[place] = RecycleBin::Result::NotRecyclable;
        reported[place] = true;
        return HRESULT_FROM_WIN32(ERROR_CANCELLED);
    }
    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem* item, HRESULT result, IShellItem*) override
    {
        const size_t place = PlaceOf(item);
        if (place == SIZE_MAX || reported[place])
            return S_OK;
        results[place] = SUCCEEDED(result) ? RecycleBin::Result::Recycled : RecycleBin::Result::Failed;
        errors[place] = SUCCEEDED(result) ? 0 : ErrorOf(result);
        reported[place] = true;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT, IShellItem*) override
    {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

private:
    const std::map<std::wstring, size_t>& places;
    const RecycleBin::WillRecycle& willRecycle;
    std::vector<RecycleBin::Result>& results;
    std::vector<DWORD>& errors;
    std::vector<bool>& reported;
    ULONG references = 1;
    std::wstring pathOf;

    size_t PlaceOf(IShellItem* item)
    {
        wchar_t* name = nullptr;
        if (!item || FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, &name)))
            return SIZE_MAX;
        pathOf = name;
        CoTaskMemFree(name);
        auto found = places.find(Key(pathOf));
        return found == places.end() ? SIZE_MAX : found->second;
    }
};
}

std::string SystemMessage(DWORD error)
{
    wchar_t* text = nullptr;
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
                   error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::string message = text ? Narrow(text) : std::string();
    LocalFree(text);
    for (char& c : message)
    {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    while (!message.empty() && message.back() == ' ')
        message.pop_back();
    return message.empty() ? "Error " + std::to_string(error) : message;
}

RecycleBin::RecycleBin(WillRecycle willRecycle)
    : willRecycle(std::move(willRecycle)), com(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
{
    // The object is asked, not the platform's name: it may exist and still not do the work.
    IFileOperation* operation = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&operation))))
    {
        byFileOperation = SUCCEEDED(operation->SetOperationFlags(kShellFlags | FOFX_RECYCLEONDELETE));
        operation->Release();
    }
}

RecycleBin::~RecycleBin()
{
    if (SUCCEEDED(com))
        CoUninitialize();
}

bool RecycleBin::MayRecycle(const std::string& path) const
{
    if (willRecycle)
        return willRecycle(path);
    const std::wstring shellPath = ShellPathOfFile(path);
    if (!ShellTakesAsItIs(shellPath))
        return false;
    wchar_t root[MAX_PATH];
    if (!GetVolumePathNameW(shellPath.c_str(), root, MAX_PATH))
        return false;
    auto known = volumes.find(root);
    if (known != volumes.end())
        return known->second;
    SHQUERYRBINFO bin = {};
    bin.cbSize = sizeof(bin);
    const bool hasBin = GetDriveTypeW(root) == DRIVE_FIXED && SUCCEEDED(SHQueryRecycleBinW(root, &bin));
    volumes[root] = hasBin;
    return hasBin;
}

void RecycleBin::Recycle(const std::vector<std::string>& paths, std::vector<Result>& results,
                         std::vector<DWORD>& errors)
{
    results.assign(paths.size(), Result::Failed);
    errors.assign(paths.size(), 0);
    std::vector<size_t> pending;
    for (size_t i = 0; i < paths.size(); i++)
        pending.push_back(i);
    // An item refused before its turn may end the whole operation: the rest go again.
    while (byFileOperation && !pending.empty())
    {
        std::vector<size_t> left = RecycleByFileOperation(paths, pending, results, errors);
        if (byFileOperation && left.size() == pending.size())
        {
            for (size_t i : left)
                errors[i] = ERROR_CANCELLED;
            return;
        }
        pending = std::move(left);
    }
    if (!pending.empty())
        RecycleByShFileOperation(paths, pending, results, errors);
}

std::vector<size_t> RecycleBin::RecycleByFileOperation(const std::vector<std::string>& paths,
                                                       const std::vector<size_t>& items, std::vector<Result>& results,
                                                       std::vector<DWORD>& errors)
{
    IFileOperation* operation = nullptr;
    if (FAILED(CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_PPV_ARGS(&operation))))
    {
        byFileOperation = false;
        return items;
    }
    std::map<std::wstring, size_t> places;
    std::vector<bool> reported(paths.size(), false);
    DeleteNotices notices(places, willRecycle, results, errors, reported);
    DWORD cookie = 0;
    HRESULT result = operation->SetOperationFlags(kShellFlags | FOFX_RECYCLEONDELETE);
    if (SUCCEEDED(result))
        result = operation->Advise(&notices, &cookie);
    for (size_t i = 0; SUCCEEDED(result) && i < items.size(); i++)
    {
        const std::wstring path = ShellPathOfFile(paths[items[i]]);
        places[Key(path)] = items[i];
        IShellItem* item = nullptr;
        if (FAILED(SHCreateItemFromParsingName(path.c_str(), nullptr, IID_PPV_ARGS(&item))))
        {
            reported[items[i]] = true;
            errors[items[i]] = Exists(paths[items[i]]) ? ERROR_INVALID_NAME : ERROR_FILE_NOT_FOUND;
            continue;
        }
        result = operation->DeleteItem(item, nullptr);
        item->Release();
    }
    if (SUCCEEDED(result))
        result = operation->PerformOperations();
    if (cookie)
        operation->Unadvise(cookie);
    operation->Release();
    if (result == E_NOTIMPL)
        byFileOperation = false;
    std::vector<size_t> left;
    for (size_t i : items)
    {
        if (!reported[i])
            left.push_back(i);
    }
    return left;
}

void RecycleBin::RecycleByShFileOperation(const std::vector<std::string>& paths, const std::vector<size_t>& items,
                                          std::vector<Result>& results, std::vector<DWORD>& errors)
{
    std::wstring from;
    for (size_t i : items)
        from += ShellPathOfFile(paths[i]) + L'\0';
    from += L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = static_cast<FILEOP_FLAGS>(kShellFlags);
    const int code = SHFileOperationW(&operation);
    std::vector<size_t> left;
    for (size_t i : items)
    {
        if (Exists(paths[i]))
            left.push_back(i);
        else
            results[i] = Result::Recycled;
    }
    // One failure may have ended the call before the files after it: each goes alone.
    if (left.size() > 1 || (left.size() == 1 && items.size() > 1))
    {
        for (size_t i : left)
            RecycleByShFileOperation(paths, {i}, results, errors);
        return;
    }
    for (size_t i : left)
    {
        // The shell's own codes are not the system's: the file itself tells why.
        FileSystemRedirectionOff seeFoldersAsTheyAre;
        HANDLE file = CreateFileW(LongPath(paths[i]).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        const DWORD error = file == INVALID_HANDLE_VALUE ? GetLastError() : static_cast<DWORD>(code);
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        results[i] = Result::Failed;
        errors[i] = error ? error : ERROR_ACCESS_DENIED;
    }
}
