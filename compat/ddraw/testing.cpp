#include "compat/ddraw/testing.h"

#include "compat/ddraw/DisplayState.h"

#ifdef QUARRY_TESTING

namespace compat::testing {

using compat::ddraw::DisplayState;

void loseAllSurfaces() { ++DisplayState::instance().generation; }

void setDisplayDepth(DWORD bitsPerPixel)
{
    DisplayState& state = DisplayState::instance();
    const compat::ddraw::DisplayMode next = {state.mode.width, state.mode.height,
                                             compat::ddraw::displayFormat(bitsPerPixel)};
    if (state.exclusiveOwner == nullptr)
        state.desktop = next;
    state.changeMode(next);
}

void failNextCreateSurface(HRESULT code) { DisplayState::instance().nextCreateSurfaceFailure = code; }

void setTestCooperativeLevelResult(HRESULT code) { DisplayState::instance().cooperativeLevelAnswer = code; }

void resetDisplay()
{
    DisplayState& state = DisplayState::instance();
    state.exclusiveOwner = nullptr;
    state.window = nullptr;
    state.nextCreateSurfaceFailure = DD_OK;
    state.cooperativeLevelAnswer = DD_OK;
    state.observer = nullptr;
    state.desktop.format = compat::ddraw::displayFormat(32);
    state.changeMode(state.desktop);
}

} // namespace compat::testing

#endif
