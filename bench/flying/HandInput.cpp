#include "bench/flying/HandInput.h"

#include <math.h>

void HandInput::Down(int x, int y)
{
    inputs_.push_back({Input::Down, x, y, 0});
}

void HandInput::Up()
{
    inputs_.push_back({Input::Up, 0, 0, 0});
}

void HandInput::Key(AirspeedKey key)
{
    const double from = aimed_ ? aim_ : floor(airspeed_ + 0.5);
    double to = from;
    switch (key) {
    case AirspeedKey::Up:
        to = from + 1;
        break;
    case AirspeedKey::Down:
        to = from - 1;
        break;
    case AirspeedKey::PageUp:
        to = from + 10;
        break;
    case AirspeedKey::PageDown:
        to = from - 10;
        break;
    case AirspeedKey::Home:
        to = 0;
        break;
    case AirspeedKey::TakeOff:
        aimed_ = false;
        inputs_.push_back({Input::TakeOff, 0, 0, 0});
        return;
    }
    to = to < 0 ? 0 : to > MostAirspeed ? MostAirspeed : to;
    aimed_ = true;
    aim_ = to;
    inputs_.push_back({Input::Airspeed, 0, 0, to});
}

void HandInput::Apply(PassControl& control)
{
    for (const Input& input : inputs_) {
        switch (input.What) {
        case Input::Down:
            control.Hold(input.X, input.Y, Button::Left);
            break;
        case Input::Up:
            control.Release();
            break;
        case Input::Airspeed:
            takingOff_ = false;
            control.SetAirspeed(input.Value);
            break;
        case Input::TakeOff:
            takingOff_ = true;
            takeOffStart_ = control.Time();
            takeOffTop_ = speed3_ + TakeOffBeyondSpeed3;
            break;
        }
    }
    inputs_.clear();
    aimed_ = false;
    if (takingOff_) {
        const double part = (control.Time() - takeOffStart_) / TakeOffSeconds;
        control.SetAirspeed(takeOffTop_ * (part < 1 ? part : 1));
        takingOff_ = part < 1; // then held where it got to
    }
}

void HandInput::Shown(const PassRecord& pass)
{
    airspeed_ = pass.Airspeed;
    if (pass.SpeedKnown[2])
        speed3_ = pass.Speeds[2];
}
