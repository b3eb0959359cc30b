#include "Screenshot.h"

#include <wincodec.h>

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

// Rows of 24-bit BGR pixels, top row first, each row padded to four bytes.
std::vector<BYTE> GrabPixels(const RECT& area, UINT& stride) {
    int width = area.right - area.left;
    int height = area.bottom - area.top;
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
    stride = static_cast<UINT>((width * 3 + 3) & ~3);
    std::vector<BYTE> pixels(static_cast<size_t>(stride) * height);
    if (GetDIBits(memory.Get(), static_cast<HBITMAP>(bitmap.Get()), 0, height, pixels.data(), &info, DIB_RGB_COLORS) !=
        height)
        throw E2eError(L"screenshot: reading the pixels failed");
    return pixels;
}

void WritePng(const std::vector<BYTE>& pixels, UINT width, UINT height, UINT stride, const std::wstring& path) {
    ComInit com;
    ComPtr<IWICImagingFactory> factory;
    Check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                           factory.ReceiveVoid()),
          L"the imaging factory");
    ComPtr<IWICStream> stream;
    Check(factory->CreateStream(stream.Receive()), L"the stream");
    Check(stream->InitializeFromFilename(path.c_str(), GENERIC_WRITE), L"opening the file");
    ComPtr<IWICBitmapEncoder> encoder;
    Check(factory->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive()), L"the PNG encoder");
    Check(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache), L"starting the encoder");
    ComPtr<IWICBitmapFrameEncode> frame;
    ComPtr<IPropertyBag2> properties;
    Check(encoder->CreateNewFrame(frame.Receive(), properties.Receive()), L"the frame");
    Check(frame->Initialize(properties.Get()), L"starting the frame");
    Check(frame->SetSize(width, height), L"the size");
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    Check(frame->SetPixelFormat(&format), L"the pixel format");
    if (format != GUID_WICPixelFormat24bppBGR)
        throw E2eError(L"screenshot: the PNG encoder does not take 24-bit pixels");
    Check(frame->WritePixels(height, stride, static_cast<UINT>(pixels.size()), const_cast<BYTE*>(pixels.data())),
          L"writing the pixels");
    Check(frame->Commit(), L"finishing the frame");
    Check(encoder->Commit(), L"finishing the file");
}

}  // namespace

void Screenshot(const RECT& area, const std::wstring& pngPath) {
    RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    RECT clipped{};
    if (!IntersectRect(&clipped, &area, &screen))
        throw E2eError(L"screenshot: nothing of the window is on the screen");
    UINT stride = 0;
    std::vector<BYTE> pixels = GrabPixels(clipped, stride);
    WritePng(pixels, clipped.right - clipped.left, clipped.bottom - clipped.top, stride, pngPath);
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
}

std::wstring ScreenshotLog::Take(DWORD pid, const std::wstring& name) {
    if (folder_.empty())
        return {};
    RECT area = ProcessWindowsArea(pid);
    if (IsRectEmpty(&area)) {
        Log(L"screenshot " + name + L": the program shows no window");
        return {};
    }
    wchar_t number[8];
    wsprintfW(number, L"%02d", ++counter_);
    std::wstring path = folder_ + L"\\" + number + L"-" + name + L".png";
    Screenshot(area, path);
    files_.push_back(path);
    Log(L"screenshot " + path);
    return path;
}
