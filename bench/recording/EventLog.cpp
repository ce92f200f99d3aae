// Times and airspeeds are rounded to a millionth, which keeps lines short and
// loses nothing a pass at tens of passes a second can show. A text element
// holds whatever bytes the gauge wrote into the host's buffer: bytes above
// 127 are taken as Latin-1, so that the line stays valid UTF-8, and non-ASCII
// is written escaped.
#include "bench/recording/EventLog.h"

#include <math.h>

#include <nlohmann/json.hpp>

namespace {

using Json = nlohmann::ordered_json;

Json Number(double value)
{
    return fabs(value) < 1e9 ? nearbyint(value * 1e6) / 1e6 : value;
}

std::string Latin1ToUtf8(const std::string& bytes)
{
    std::string utf8;
    for (unsigned char c : bytes) {
        if (c < 0x80) {
            utf8.push_back(char(c));
        } else {
            utf8.push_back(char(0xC0 | c >> 6));
            utf8.push_back(char(0x80 | (c & 0x3F)));
        }
    }
    return utf8;
}

// The reader's fields, into the line as JSON.
class JsonFields : public LogFields {
public:
    explicit JsonFields(Json& line) : line_(line) {}
    void Null(const char* name) override { line_[name] = nullptr; }
    void Flags(const char* name, const bool* flags, int count) override
    {
        Json list = Json::array();
        for (int i = 0; i < count; ++i)
            list.push_back(flags[i]);
        line_[name] = list;
    }
    void Numbers(const char* name, const int32_t* numbers, const bool* known, int count) override
    {
        Json list = Json::array();
        for (int i = 0; i < count; ++i)
            list.push_back(known[i] ? Json(numbers[i]) : Json(nullptr));
        line_[name] = list;
    }
    void Text(const char* name, const char* bytes) override { line_[name] = Latin1ToUtf8(bytes); }

private:
    Json& line_;
};

// A callback's result as JSON can hold it: null for none, or for a value
// JSON has no number for.
Json Result(const ElementResult& element)
{
    return element.Called && isfinite(element.Result) ? Number(element.Result) : Json(nullptr);
}

// Everything a pass's line says but its pass, time and airspeed.
Json Body(const PassRecord& pass, const GaugeReader* reader)
{
    Json line;
    line["installed"] = pass.Installed;
    // What the host holds of every element, whatever the gauge: the results
    // in chain order, and the texts of its text elements.
    if (pass.Results) {
        Json results = Json::array(), texts = Json::array();
        for (int i = 0; i < pass.Results->Count; ++i) {
            const ElementResult& element = pass.Results->Elements[i];
            results.push_back(Result(element));
            if (element.Kind == TextStringKind)
                texts.push_back(Latin1ToUtf8(element.Text));
        }
        line["results"] = results;
        line["texts"] = texts;
    } else {
        line["results"] = nullptr;
        line["texts"] = nullptr;
    }
    // What they mean, as the gauge's own reader says.
    if (reader) {
        JsonFields fields(line);
        reader->AddToLog(fields);
    }
    Json plays = Json::array();
    for (int i = 0; i < pass.PlayCount; ++i)
        plays.push_back(pass.Plays[i]);
    line["plays"] = plays;
    if (pass.PlaysLeftOut)
        line["plays_left_out"] = pass.PlaysLeftOut;
    Json handlers = Json::array();
    for (int i = 0; i < pass.HandlerCount; ++i)
        handlers.push_back("area " + std::to_string(pass.Handlers[i]));
    line["handlers"] = handlers;
    if (pass.HandlersLeftOut)
        line["handlers_left_out"] = pass.HandlersLeftOut;
    if (pass.FaultCount && pass.Faults) {
        Json faults = Json::array();
        for (size_t i = 0; i < pass.FaultCount; ++i)
            faults.push_back((*pass.Faults)[pass.FirstFault + i]);
        line["stack"] = faults;
    }
    if (pass.FaultsLeftOut)
        line["stack_left_out"] = pass.FaultsLeftOut;
    return line;
}

// Escaped to ASCII, and any invalid byte replaced rather than thrown on.
std::string Dumped(const Json& json)
{
    return json.dump(-1, ' ', true, Json::error_handler_t::replace);
}

} // namespace

std::string EventLine(const PassRecord& pass, const GaugeReader* reader)
{
    Json line;
    line["pass"] = pass.Pass;
    line["time"] = Number(pass.Time);
    if (isfinite(pass.Airspeed)) {
        line["airspeed"] = Number(pass.Airspeed);
    } else {
        line["airspeed"] = nullptr;
        line["airspeed_is"] = isnan(pass.Airspeed) ? "nan" : pass.Airspeed > 0 ? "inf" : "-inf";
    }
    Json body = Body(pass, reader);
    for (auto& [key, value] : body.items())
        line[key] = std::move(value);
    return Dumped(line) + "\n";
}

std::string GaugeLine(const GaugeDescription& gauge)
{
    Json described;
    described["name"] = gauge.Name;
    described["module"] = gauge.ModuleFile;
    Json speeds = Json::array();
    for (int i = 0; i < gauge.SpeedCount; ++i)
        speeds.push_back(gauge.Speeds[i]);
    described["speeds"] = speeds;
    if (gauge.DarkAboveSpeed > 0)
        described["lamps_dark_above"] = {{"speed", gauge.DarkAboveSpeed}, {"by", Number(gauge.DarkAboveBy)}};
    else
        described["lamps_dark_above"] = nullptr;
    Json clips = Json::object();
    for (int i = 0; i < gauge.ClipCount; ++i)
        clips[gauge.Clips[i].Name] = {{"sound", gauge.Sounds[i].Sound}, {"beeps", gauge.Sounds[i].Beeps}};
    described["clips"] = clips;
    Json line;
    line["gauge"] = described;
    return Dumped(line) + "\n";
}

bool EventLog::Open(const std::string& path, std::string* error, LogChoice choice, const GaugeDescription* gauge)
{
    Close();
    choice_ = choice;
    first_ = true;
    written_.clear();
    held_.clear();
    file_ = fopen(path.c_str(), "wb");
    if (!file_) {
        *error = "cannot write " + path;
        return false;
    }
    if (gauge) {
        // On the disk before any pass: a run a crash ends, in a build with
        // no sanitizer to write out its files, still says what it flew.
        const std::string line = GaugeLine(*gauge);
        fwrite(line.data(), 1, line.size(), file_);
        fflush(file_);
    }
    return true;
}

void EventLog::Write(const PassRecord& pass, const GaugeReader* reader, bool flush)
{
    if (!file_)
        return;
    if (choice_ == LogChoice::Changes) {
        // What the pass shows and holds; what it did is a reason of its own.
        Json held = Body(pass, reader);
        for (const char* done : {"plays", "plays_left_out", "handlers", "handlers_left_out", "stack", "stack_left_out"})
            held.erase(done);
        std::string said = Dumped(held);
        const bool happened = pass.PlayCount || pass.PlaysLeftOut || pass.HandlerCount || pass.HandlersLeftOut ||
                              pass.FaultCount || pass.FaultsLeftOut;
        if (!first_ && !happened && said == written_) {
            held_ = EventLine(pass, reader);
            return;
        }
        written_ = std::move(said);
        held_.clear();
    }
    first_ = false;
    const std::string line = EventLine(pass, reader);
    fwrite(line.data(), 1, line.size(), file_);
    if (flush)
        fflush(file_);
}

void EventLog::Close()
{
    if (file_ && !held_.empty())
        fwrite(held_.data(), 1, held_.size(), file_);
    held_.clear();
    if (file_)
        fclose(file_);
    file_ = nullptr;
}
