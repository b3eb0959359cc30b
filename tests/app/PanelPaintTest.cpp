// What the user sees of each wizard step: the real windows are shown and the screen
// is read back, so a panel that paints over the one in front, or a marker that is not
// repainted, shows up here. With BKTRNWCK_SCREENSHOTS set to a folder, every step is
// also saved there as a bitmap to look at.
#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <vector>

#include "GameData.h"
#include "TestSupport.h"
#include "Windows.h"
#include "backup/frmBackup.h"
#include "restore/frmRestore.h"
#include "runtime/DoEvents.h"
#include "runtime/ProcessState.h"
#include "runtime/TextConv.h"
#include "ui/Controls.h"

namespace {

void LetItPaint(HWND hwnd) {
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (int i = 0; i < 5; ++i) {
        DoEvents();
        Sleep(10);
    }
}

// The screen's colour at a point of the window's client area, given in twips.
COLORREF ScreenPixel(HWND hwnd, int xTwips, int yTwips) {
    int dpi = ScreenDpi();
    POINT pt{TwipsToPixels(xTwips, dpi), TwipsToPixels(yTwips, dpi)};
    ClientToScreen(hwnd, &pt);
    HDC screen = GetDC(nullptr);
    COLORREF color = GetPixel(screen, pt.x, pt.y);
    ReleaseDC(nullptr, screen);
    return color;
}

void SaveScreenshot(HWND hwnd, const std::string& name) {
    const char* folder = std::getenv("BKTRNWCK_SCREENSHOTS");
    if (!folder || !*folder)
        return;
    RECT rc;
    GetWindowRect(hwnd, &rc);
    int width = rc.right - rc.left;
    int height = rc.bottom - rc.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, rc.left, rc.top, SRCCOPY);
    GdiFlush();
    DWORD stride = ((static_cast<DWORD>(width) * 3 + 3) & ~3u);
    DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info.bmiHeader);
    file.bfSize = file.bfOffBits + imageSize;
    std::ofstream out(std::string(folder) + "/" + name + ".bmp", std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof(file));
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof(info.bmiHeader));
    out.write(static_cast<const char*>(bits), imageSize);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

// Marker centres in the step strip and a blank corner of the panels, in twips.
POINT MarkerCentre(int step) {
    int left = (step == 0 || step == 5) ? 120 : 360;
    int top = step == 0 ? 120 : 480 * step;
    return {left + 127, top + 127};
}
constexpr POINT PanelCorner{2160 + 6000, 3790};

void ExpectStepOnScreen(WizardFrame& w, int step, const std::string& name) {
    LetItPaint(w.Hwnd());
    SaveScreenshot(w.Hwnd(), name);
    POINT marker = MarkerCentre(step);
    EXPECT_EQ(ScreenPixel(w.Hwnd(), marker.x, marker.y), RGB(0, 255, 0)) << name;
    COLORREF background = (step == 0 || step == 5) ? RGB(255, 255, 255) : RGB(192, 192, 192);
    EXPECT_EQ(ScreenPixel(w.Hwnd(), PanelCorner.x, PanelCorner.y), background) << name;
    for (int other = 0; other < 6; ++other) {
        if (other == step)
            continue;
        POINT m = MarkerCentre(other);
        COLORREF expected = other == 5 ? RGB(255, 0, 0) : RGB(128, 128, 128);
        EXPECT_EQ(ScreenPixel(w.Hwnd(), m.x, m.y), expected) << name << " marker " << other;
    }
}

class PanelPaintTest : public testing::Test {
protected:
    void SetUp() override { BackupStep = 0; }
    void TearDown() override { UnloadAllWindows(); }
    GameFolder game;
    MsgBoxRecorder boxes;
};

}  // namespace

TEST_F(PanelPaintTest, EveryBackupStepShowsItsOwnPanel) {
    ScratchDir dest(true);
    frmBackup& w = frmBackup::Instance();
    w.Show();
    ExpectStepOnScreen(w, 0, "backup-step0");
    w.cmdNext_Click();
    ExpectStepOnScreen(w, 1, "backup-step1");
    w.cmdNext_Click();
    SetText(w.text1(), dest.Path());
    ExpectStepOnScreen(w, 2, "backup-step2");
    // Steps 3 and 4 pass while the engine copies; Back from the finish shows them.
    w.cmdNext_Click();
    ExpectStepOnScreen(w, 5, "backup-step5");
    for (int step = 4; step >= 3; --step) {
        w.cmdBack_Click();
        ExpectStepOnScreen(w, step, "backup-step" + std::to_string(step));
    }
}

TEST_F(PanelPaintTest, EveryRestoreStepShowsItsOwnPanel) {
    frmRestore& w = frmRestore::Instance();
    w.Show();
    ExpectStepOnScreen(w, 0, "restore-step0");
    w.cmdNext_Click();
    SetText(w.text1(), L"C:\\backups\\Tarnwick_2026.12.06.BAK");
    ExpectStepOnScreen(w, 1, "restore-step1");
    // The other steps pass inside one click; shown here from the finish backwards.
    w.ShowStep(1, 4);
    w.RestoreStep = 4;
    w.cmdNext_Click();
    ExpectStepOnScreen(w, 5, "restore-step5");
    for (int step = 4; step >= 2; --step) {
        w.cmdBack_Click();
        ExpectStepOnScreen(w, step, "restore-step" + std::to_string(step));
    }
}
