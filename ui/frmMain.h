#pragma once

#include "player/ShockwaveFlash.h"
#include "windowing/ControlArray.h"
#include "windowing/DefaultInstance.h"
#include "windowing/FileListBox.h"
#include "windowing/Form.h"
#include "windowing/Label.h"
#include "windowing/PictureBox.h"

#include <cstdint>

// The program's one window: the movie list, the player over it while a movie plays,
// and its own minimise and close buttons.
class frmMain : public windowing::Form {
public:
    ~frmMain() override;

    // The controls, in the order they are made.
    windowing::PictureBox picMin;
    windowing::PictureBox picX;
    player::ShockwaveFlash ShockwaveFlash;
    windowing::FileListBox File1;
    windowing::ControlArray<windowing::Label> lblIndex;

protected:
    frmMain();
    friend class windowing::Form;
};

// The window's process-wide default instance, empty until first use.
extern windowing::DefaultInstance<frmMain> frmMainInstance;

// Colours of the list, in the 0x00BBGGRR encoding.
inline constexpr std::int32_t kSilver = 0xC0C0C0;
inline constexpr std::int32_t kCyan = 0xFFFF00;
