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
// and its own minimise and close buttons. It is dragged by its background.
class frmMain : public windowing::Form {
public:
    ~frmMain() override;

    // The controls, in the order they are made.
    windowing::PictureBox picMin;
    windowing::PictureBox picX;
    player::ShockwaveFlash ShockwaveFlash;
    windowing::FileListBox File1;
    windowing::ControlArray<windowing::Label> lblIndex;

    // The movie list.
    void LoadMovieList();
    void ClearMovieList();
    void HighlightEntry(std::int32_t Index);
    void FitListWindow();

    // Event handlers.
    void Form_Load() override;
    void Form_Resize() override;
    void Form_MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void Form_MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void Form_MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y) override;
    void picMin_Click();
    void picX_Click();
    void lblIndex_Click(std::int16_t Index);
    void lblIndex_MouseMove(std::int16_t Index, std::int16_t Button, std::int16_t Shift, float X,
                            float Y);

    // The drag's state: where the background was grabbed, and the position the latest
    // drag step computed.
    std::int32_t DragX = 0;
    std::int32_t DragY = 0;
    bool Dragging = false;
    float NewLeft = 0;
    float NewTop = 0;

protected:
    frmMain();
    friend class windowing::Form;
};

// The window's process-wide default instance, empty until first use.
extern windowing::DefaultInstance<frmMain> frmMainInstance;

// Colours of the list, in the 0x00BBGGRR encoding.
inline constexpr std::int32_t kSilver = 0xC0C0C0;
inline constexpr std::int32_t kCyan = 0xFFFF00;
