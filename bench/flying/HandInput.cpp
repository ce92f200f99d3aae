// The keys for the gauge follow its panel: a digit presses that selector
// button, Left and Right the decrease and increase areas. The airspeed keys
// are the bench's, as in its first window. How far and how fast the take-off
// climbs, and what each key for the gauge means, are the panel reader's to
// say, so the table's own words name no control's meaning and no number.
#include "bench/flying/HandInput.h"

#include <math.h>

// Win32 virtual-key codes, spelled out so that no build needs <windows.h>.
const KeyBinding HandKeys[] = {
    {HandKey::AirspeedUp, "Up", "ArrowUp Up", 0x26, "airspeed +1", "+1", PanelControl::None},
    {HandKey::AirspeedDown, "Down", "ArrowDown Down", 0x28, "airspeed -1", "-1", PanelControl::None},
    {HandKey::AirspeedUpTen, "Page Up", "PageUp", 0x21, "airspeed +10", "+10", PanelControl::None},
    {HandKey::AirspeedDownTen, "Page Down", "PageDown", 0x22, "airspeed -10", "-10", PanelControl::None},
    {HandKey::AirspeedZero, "Home", "Home", 0x24, "airspeed 0", "0", PanelControl::None},
    {HandKey::TakeOff, "T", "t T", 0x54, "take-off", "take-off", PanelControl::None},
    {HandKey::Selector1, "1", "1", 0x31, "selector 1", "1", PanelControl::Selector1},
    {HandKey::Selector2, "2", "2", 0x32, "selector 2", "2", PanelControl::Selector2},
    {HandKey::Selector3, "3", "3", 0x33, "selector 3", "3", PanelControl::Selector3},
    {HandKey::Decrease, "Left", "ArrowLeft Left", 0x25, "lower", "lower", PanelControl::Decrease},
    {HandKey::Increase, "Right", "ArrowRight Right", 0x27, "raise", "raise", PanelControl::Increase},
};
const int HandKeyCount = int(sizeof HandKeys / sizeof HandKeys[0]);

const KeyBinding* FindHandKey(HandKey key)
{
    for (const KeyBinding& binding : HandKeys)
        if (binding.Code == key)
            return &binding;
    return nullptr;
}

const KeyBinding* FindWindowsKey(int windowsKey)
{
    for (const KeyBinding& binding : HandKeys)
        if (binding.WindowsKey == windowsKey)
            return &binding;
    return nullptr;
}

namespace {

// The gauge's words for the key, or null where it gives none.
const ControlWords* GaugeWords(const KeyBinding& key, const GaugeDescription* gauge)
{
    if (!gauge || key.Control == PanelControl::None)
        return nullptr;
    const ControlWords& words = gauge->Controls[int(key.Control)];
    return words.Does ? &words : nullptr;
}

} // namespace

const char* KeyDoes(const KeyBinding& key, const GaugeDescription* gauge)
{
    if (key.Code == HandKey::TakeOff && gauge && gauge->TakeOff)
        return gauge->TakeOff;
    const ControlWords* words = GaugeWords(key, gauge);
    return words ? words->Does : key.Does;
}

const char* KeyHint(const KeyBinding& key, const GaugeDescription* gauge)
{
    const ControlWords* words = GaugeWords(key, gauge);
    return words && words->Hint ? words->Hint : key.Hint;
}

std::string KeysHelp(const char* heading, const GaugeDescription* gauge)
{
    std::string text = heading;
    text += "\n";
    for (const KeyBinding& binding : HandKeys) {
        std::string name = binding.Name;
        name.resize(name.size() < 12 ? 12 : name.size(), ' ');
        text += "  " + name + "  " + KeyDoes(binding, gauge) + "\n";
    }
    return text;
}

void HandInput::Down(int x, int y)
{
    holder_ = Holder::Mouse;
    inputs_.push_back({Input::Down, x, y, 0, PanelControl::None});
}

void HandInput::Up()
{
    if (holder_ != Holder::Mouse)
        return;
    holder_ = Holder::None;
    inputs_.push_back({Input::Up, 0, 0, 0, PanelControl::None});
}

void HandInput::KeyDown(HandKey key, bool repeat)
{
    const KeyBinding* binding = FindHandKey(key);
    if (!binding)
        return;
    if (binding->Control == PanelControl::None) {
        AirspeedKey(key);
        return;
    }
    if (repeat && holder_ == Holder::Key && heldKey_ == key)
        return;
    holder_ = Holder::Key;
    heldKey_ = key;
    inputs_.push_back({Input::AreaDown, 0, 0, 0, binding->Control});
}

void HandInput::KeyUp(HandKey key)
{
    if (holder_ != Holder::Key || heldKey_ != key)
        return;
    holder_ = Holder::None;
    inputs_.push_back({Input::Up, 0, 0, 0, PanelControl::None});
}

void HandInput::AirspeedKey(HandKey key)
{
    const double from = aimed_ ? aim_ : floor(airspeed_ + 0.5);
    double to = from;
    switch (key) {
    case HandKey::AirspeedUp:
        to = from + 1;
        break;
    case HandKey::AirspeedDown:
        to = from - 1;
        break;
    case HandKey::AirspeedUpTen:
        to = from + 10;
        break;
    case HandKey::AirspeedDownTen:
        to = from - 10;
        break;
    case HandKey::AirspeedZero:
        to = 0;
        break;
    case HandKey::TakeOff:
        aimed_ = false;
        inputs_.push_back({Input::TakeOff, 0, 0, 0, PanelControl::None});
        return;
    default:
        return;
    }
    to = to < 0 ? 0 : to > MostAirspeed ? MostAirspeed : to;
    aimed_ = true;
    aim_ = to;
    inputs_.push_back({Input::Airspeed, 0, 0, to, PanelControl::None});
}

void HandInput::Leave(PassControl& control)
{
    inputs_.clear();
    control.Release();
    control.Stop();
}

void HandInput::Apply(PassControl& control)
{
    const GaugeReader* reader = control.Reader();
    for (const Input& input : inputs_) {
        switch (input.What) {
        case Input::Down:
            control.Hold(input.X, input.Y, Button::Left);
            break;
        case Input::AreaDown: {
            // Where the area is now: a module killed and installed again
            // registers its list anew.
            int x = 0, y = 0;
            if (reader && reader->ControlPoint(control.Areas(), input.Control, &x, &y))
                control.Hold(x, y, Button::Left);
            break;
        }
        case Input::Up:
            control.Release();
            break;
        case Input::Airspeed:
            takingOff_ = false;
            control.SetAirspeed(input.Value);
            break;
        case Input::TakeOff:
            if (!reader || !(reader->TakeOffSeconds() > 0))
                break;
            takingOff_ = true;
            takeOffStart_ = control.Time();
            takeOffTop_ = reader->TakeOffTop();
            takeOffSeconds_ = reader->TakeOffSeconds();
            break;
        }
    }
    inputs_.clear();
    aimed_ = false;
    if (takingOff_) {
        const double part = (control.Time() - takeOffStart_) / takeOffSeconds_;
        control.SetAirspeed(takeOffTop_ * (part < 1 ? part : 1));
        takingOff_ = part < 1; // then held where it got to
    }
}

void HandInput::Follow(const PassRecord& pass)
{
    airspeed_ = pass.Airspeed;
}
