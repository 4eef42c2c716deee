// The window's life from load to unload and its own chrome: no border, the title from
// the shared caption, the player hidden until a movie plays, dragging by the
// background, the minimise button, and the layout that follows every resize.
#include "app/mMain.h"
#include "frmMain.h"
#include "support/mAlphaIconApp.h"
#include "windowing/Checked.h"
#include "windowing/EventPump.h"
#include "windowing/SkipOnError.h"
#include "windowing/WindowText.h"

#include <algorithm>

using namespace windowing;

namespace {

// Layout of the player and the two buttons, in twips.
constexpr float kPlayerInset = 5;
constexpr float kPlayerShrink = 10;
constexpr float kCloseRightMargin = 230;
constexpr float kCloseTop = 100;
constexpr float kButtonGap = 150;

} // namespace

void frmMain::Form_Load()
{
    mAlphaIconApp::SetWindowIcons(hWnd(), QStringLiteral("AAA"), True);
    setBorderStyle(kBorderNone);
    setWindowText(hWnd(), mMain::AppCaption);
    ShockwaveFlash.setVisible(false);
    ShockwaveFlash.setBackgroundColor(0);
    ShockwaveFlash.setScaleMode(2); // exact fit
    LoadMovieList();
}

void frmMain::Form_Resize()
{
    const float width = checkSingle(double(Width()) - kPlayerShrink);
    const float height = checkSingle(double(Height()) - kPlayerShrink);
    // A window under 10 twips would give the player a negative size: it gets none.
    ShockwaveFlash.Move(kPlayerInset, kPlayerInset, std::max(width, 0.0f), std::max(height, 0.0f));

    const float closeLeft =
        checkSingle(double(Width()) - (double(picX.Width()) + kCloseRightMargin));
    picX.Move(closeLeft, kCloseTop);

    const float minimiseLeft = checkSingle((double(picX.Left()) - picMin.Width()) - kButtonGap);
    picMin.Move(minimiseLeft, picX.Top());
}

void frmMain::Form_MouseDown(std::int16_t, std::int16_t, float X, float Y)
{
    // Any button, with or without modifier keys, starts a drag.
    Dragging = true;
    DragX = roundToInt32(X);
    DragY = roundToInt32(Y);
}

void frmMain::Form_MouseMove(std::int16_t, std::int16_t, float X, float Y)
{
    const SkipOnError step(!isTrue(mMain::StrictErrors));
    step([&] { HighlightEntry(-1); });
    if (!Dragging)
        return;
    // The window follows every move while dragging, with or without a button held.
    step([&] { NewLeft = checkSingle(double(Left()) - (double(DragX) - X)); });
    step([&] { NewTop = checkSingle(double(Top()) - (double(DragY) - Y)); });
    // Events queued meanwhile run here; a nested drag step writes NewLeft and NewTop,
    // and this one then applies whatever they hold.
    step([&] { DoEvents(); });
    step([&] { setLeft(NewLeft); });
    step([&] { setTop(NewTop); });
}

void frmMain::Form_MouseUp(std::int16_t, std::int16_t, float, float)
{
    Dragging = false;
}

void frmMain::picMin_Click()
{
    setWindowState(kStateMinimized);
}
