// The three buttons' handlers and the state that lives between clicks, free of any toolkit.
#pragma once

#include <string_view>

#include "DrawingSurface.h"
#include "Field.h"
#include "RandomSource.h"

namespace quorrin {

struct Control;

// The window's buttons, seen from the handlers: only their captions change.
class ButtonCaptions {
public:
    virtual ~ButtonCaptions() = default;
    virtual void SetCaption(const Control& button, std::string_view caption) = 0;

protected:
    ButtonCaptions() = default;
    ButtonCaptions(const ButtonCaptions&) = default;
    ButtonCaptions& operator=(const ButtonCaptions&) = default;
};

struct WindowState {
    FieldState Field;
    // Both generate buttons advance this one counter: 1 makes a coarse field, 0 a fine one.
    int SizeToggle = 0;
    // 0 shows the streams, 1 the drainage; every generation leaves it at 1.
    int ViewToggle = 0;
    bool operator==(const WindowState&) const = default;
};

// Every handler runs to completion and ends by drawing exactly one view. The window's table says
// which button runs which.
class Handlers {
public:
    Handlers(DrawingSurface& surface, ButtonCaptions& captions, RandomSource& random);

    void OnWindowLoad();
    // A new field with the loop rule.
    void OnNewRandom();
    // A new field without the loop rule, so loops of four cells can remain.
    void OnNewRandomWithTaps();
    // Switches between the stream view and the drainage view.
    void OnToggleView();

    const WindowState& State() const { return Window; }
    // The fields begun so far: the empty one of the window's load, and each generation's, counted
    // before it draws, so that one a failure cut short counts too.
    int FieldsBegun() const { return Fields; }

private:
    // Advances the shared size counter, captions the clicked button with the grid that the
    // next generate click will make, and generates.
    void Generate(const Control& clicked, std::string_view coarseCaption, std::string_view fineCaption);

    DrawingSurface& Surface;
    ButtonCaptions& Captions;
    RandomSource& Random;
    WindowState Window;
    int Fields = 0;
};

}  // namespace quorrin
