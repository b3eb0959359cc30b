#include "Screenshot.h"

#include <wincodec.h>

#include <cwctype>
#include <filesystem>

#include "E2eError.h"
#include "Log.h"
#include "UiDriver.h"
#include "runtime/Com.h"
#include "runtime/Handles.h"

namespace {

class ScreenDc {
public:
    ScreenDc() : dc_(GetDC(nullptr)) {}
    ~ScreenDc() { ReleaseDC(nullptr, dc_); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

class MemoryDc {
public:
    explicit MemoryDc(HDC like) : dc_(CreateCompatibleDC(like)) {}
    ~MemoryDc() { DeleteDC(dc_); }
    MemoryDc(const MemoryDc&) = delete;
    MemoryDc& operator=(const MemoryDc&) = delete;
    HDC Get() const { return dc_; }

private:
    HDC dc_;
};

void Check(HRESULT hr, const wchar_t* step) {
    if (FAILED(hr))
        throw E2eError(std::wstring(L"screenshot: ") + step + L" failed (hr " + std::to_wstring(hr) + L")");
}

ScreenFrame Grab(const RECT& area) {
    ScreenFrame frame;
    frame.width = static_cast<UINT>(area.right - area.left);
    frame.height = static_cast<UINT>(area.bottom - area.top);
    int width = static_cast<int>(frame.width);
    int height = static_cast<int>(frame.height);
    ScreenDc screen;
    MemoryDc memory(screen.Get());
    GdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    if (!screen.Get() || !memory.Get() || !bitmap)
        throw E2eError(L"screenshot: no screen to copy from");
    HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
    BOOL copied = BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY | CAPTUREBLT);
    SelectObject(memory.Get(), old);
    if (!copied)
        throw E2eError(L"screenshot: copying the screen failed");

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    frame.stride = (frame.width * 3 + 3) & ~3u;
    frame.pixels.resize(static_cast<size_t>(frame.stride) * frame.height);
    if (GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, height, frame.pixels.data(), &info,
                  DIB_RGB_COLORS) != height)
        throw E2eError(L"screenshot: reading the pixels failed");
    return frame;
}

void WritePng(const ScreenFrame& frame) {
    ComInit com;
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           factory.ReceiveVoid()),
          L"the imaging factory");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.Receive()), L"the stream");
    Check(stream->InitializeFromFilename(frame.path.c_str(), GENERIC_WRITE), L"opening the file");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()), L"the PNG encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), L"starting the encoder");
    ComPtr<IWICBitmapFrameEncode> encoded;
    ComPtr<IPropertyBag2> properties;
    Check(encoder->CreateNewFrame(encoded.Receive(), properties.Receive()), L"the frame");
    Check(encoded->Initialize(properties.Get()), L"starting the frame");
    Check(encoded->SetSize(frame.width, frame.height), L"the size");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(encoded->SetPixelFormat(&format), L"the pixel format");
    if (format != GUID_WICPixelFormat24bppBGR)
        throw E2eError(L"screenshot: the PNG encoder does not take 24-bit pixels");
    Check(encoded->WritePixels(frame.height, frame.stride, static_cast<UINT>(frame.pixels.size()),
                               const_cast<BYTE*>(frame.pixels.data())),
          L"writing the pixels");
    Check(encoded->Commit(), L"finishing the frame");
    Check(encoder->Commit(), L"finishing the file");
}

RECT OnScreen(const RECT& area) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped{};
    if (!IntersectRect(&clipped, &area, &screen))
        throw E2eError(L"screenshot: nothing of the window is on the screen");
    return clipped;
}

}  // namespace

void Screenshot(const RECT& area, const std::wstring& pngPath) {
    ScreenFrame frame = Grab(OnScreen(area));
    frame.path = pngPath;
    WritePng(frame);
}

RECT ProcessWindowsArea(DWORD pid) {
    RECT area{};
    for (HWND window : TopWindows(pid)) {
        RECT rect{};
        if (GetWindowRect(window, &rect))
            UnionRect(&area, &area, &rect);
    }
    return area;
}

ScreenshotLog::ScreenshotLog(std::wstring folder) : folder_(std::move(folder)) {
    if (folder_.empty())
        return;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(folder_), ec);
    if (ec)
        throw E2eError(L"cannot create the screenshot folder " + folder_);
    RemoveEarlierShots();
    writer_ = std::thread([this] { WriteFrames(); });
}

ScreenshotLog::~ScreenshotLog() {
    if (!writer_.joinable())
        return;
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    changed_.notify_all();
    writer_.join();
}

// Shots of an earlier run in the same folder ("NN-name.png") would mix with this run's.
void ScreenshotLog::RemoveEarlierShots() {
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW((folder_ + L"\\*.png").c_str(), &data));
    if (!find)
        return;
    do {
        if (iswdigit(data.cFileName[0]) && iswdigit(data.cFileName[1]) && data.cFileName[2] == L'-')
            DeleteFileW((folder_ + L"\\" + data.cFileName).c_str());
    } while (FindNextFileW(find.Get(), &data));
}

std::wstring ScreenshotLog::Take(DWORD pid, const std::wstring& name) {
    if (folder_.empty())
        return {};
    RECT area = ProcessWindowsArea(pid);
    if (IsRectEmpty(&area)) {
        Log(L"screenshot " + name + L": the program shows no window");
        return {};
    }
    ScreenFrame frame = Grab(OnScreen(area));
    wchar_t number[8];
    wsprintfW(number, L"%02d", ++counter_);
    frame.path = folder_ + L"\\" + number + L"-" + name + L".png";
    std::wstring path = frame.path;
    {
        std::lock_guard guard(lock_);
        pending_.push_back(std::move(frame));
    }
    changed_.notify_all();
    files_.push_back(path);
    Log(L"screenshot " + path);
    return path;
}

void ScreenshotLog::Flush() {
    std::unique_lock guard(lock_);
    changed_.wait(guard, [this] { return pending_.empty() && !writing_; });
}

void ScreenshotLog::WriteFrames() {
    std::unique_lock guard(lock_);
    for (;;) {
        changed_.wait(guard, [this] { return stopping_ || !pending_.empty(); });
        if (pending_.empty())
            return;
        ScreenFrame frame = std::move(pending_.front());
        pending_.pop_front();
        writing_ = true;
        guard.unlock();
        try {
            WritePng(frame);
        } catch (const E2eError& error) {
            Log(error.Message());
        }
        guard.lock();
        writing_ = false;
        changed_.notify_all();
    }
}
