// The switch between the list and a playing movie: a click on an entry plays it over
// the screen above the taskbar; the close button returns to the list, or from the
// list ends the program.
#include "frmMain.h"
#include "support/mTaskBarSize.h"
#include "windowing/Checked.h"
#include "windowing/Screen.h"

using namespace windowing;

namespace {

// Screen pixels to twips, whatever the screen's real resolution.
constexpr std::int32_t kPixelTwips = 15;

} // namespace

void frmMain::lblIndex_Click(std::int16_t Index)
{
    const QString movie = lblIndex[Index].Tag();
    ShockwaveFlash.setMovie(movie);
    ShockwaveFlash.Play();
    ShockwaveFlash.setVisible(true);

    const float screenWidth = Screen.Width();
    const mTaskBarSize::RECT taskbar = mTaskBarSize::GetTaskbarRect();
    const float screenHeight = Screen.Height();
    std::int32_t taskbarHeight = mul32(sub32(taskbar.Bottom, taskbar.Top), kPixelTwips);
    // A panel docked at a side edge is as tall as the screen: the movie then takes the
    // whole height instead of none.
    if (taskbarHeight >= screenHeight)
        taskbarHeight = 0;
    Move(0, 0, screenWidth, checkSingle(double(screenHeight) - taskbarHeight));
}

void frmMain::picX_Click()
{
    if (ShockwaveFlash.Visible()) {
        ShockwaveFlash.Stop();
        ShockwaveFlash.setVisible(false);
        FitListWindow();
    } else {
        Unload();
    }
}
