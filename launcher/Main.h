// The launcher's one form: a small waiting window whose timer opens the
// platform in the browser on its first tick and ends the program on the second.
#pragma once

#include "framework/ExtCtrls_win.h"
#include "framework/Forms_win.h"
#include "skin/controls/uKsSkinLabel.h"
#include "skin/frame/uKsSkinForm.h"
#include "skin/frame/uKsSkinNCButton.h"
#include "skin/frame/uKsSkinNCLabel.h"

class TFormMain : public fw::TForm {
    FW_CLASS(TFormMain)

    explicit TFormMain(fw::TComponent* owner);

    // Published fields, set by the stored layout.
    ks::TKsSkinForm* KsSkinForm1 = nullptr;
    ks::TKsSkinSystemButton* KsSkinSystemButton1 = nullptr;
    ks::TKsSkinLabel* KsSkinLabel1 = nullptr;
    ks::TKsSkinNCLabel* KsSkinNCLabel1 = nullptr;
    fw::TTimer* Timer1 = nullptr;

    // Published methods, bound by the stored layout.
    void FormCreate(fw::TObject* sender);
    void Timer1Timer(fw::TObject* sender);
};

extern TFormMain* FormMain;

// One tick of the hand-off's 500 ms timer: the first opens the platform's
// address, the second ends the process. Timer1 runs it; so does the stand-in
// timer the program starts when the form could not be made.
void HandOffTimerTick();
