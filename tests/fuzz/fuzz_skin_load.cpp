// A skin's component stream from anywhere, read into a main window and bound: every property
// value the kinds convert (colours, fonts, pictures, collections) comes from the input.
#include <cstddef>
#include <cstdint>

#include "core/client_app.h"
#include "ui/main_form.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    orlo::ui::TMainForm form("fuzz");
    (void)orlo::ui::LoadSkinComponents(form, orlo::ByteView(data, size));
    for (int i = 0; i < form.ComponentCount(); ++i) {
        orlo::IControl* control = form.Component(i);
        if (!control) __builtin_trap();
        control->SetEnabled(!control->Enabled());
    }
    return 0;
}
