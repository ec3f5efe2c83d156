#include "settings-file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

#include "raylib-api.h"
#include "read-whole.h"

#define TOML_HEADER_ONLY 1
// toml++ checks its parser's steps with assertions, and one fails on a
// malformed table header (such as "[=") that the parser goes on to report
// as an error: the report is what the game needs, the assertion would stop
// it.
#define TOML_ASSERT(expr) static_cast<void>(0)
#include <toml++/toml.h>

namespace fs = std::filesystem;

namespace {

std::string number(double value) {
    return raylib::TextFormat("%g", value);
}

// Each kind of setting from its node: why it cannot be taken, or nothing.
std::string assignNumber(Settings& settings, SettingInfo const& info, toml::node const& node,
                         std::string const& range) {
    auto const value = node.value<double>();
    if (!value || node.is_boolean()) return "a number from " + range + " is expected";
    if (!(*value >= info.min && *value <= info.max)) return number(*value) + " is out of range (" + range + ")";
    settings.*info.number = static_cast<float>(*value);
    return "";
}

std::string assignWhole(Settings& settings, SettingInfo const& info, toml::node const& node, std::string const& range) {
    if (info.kind == SettingInfo::SCALE && node.value<std::string>() == "auto") {
        settings.renderScale = 0;
        return "";
    }
    auto const value = node.value_exact<int64_t>();
    if (!value)
        return std::string("a whole number from ") + range + (info.kind == SettingInfo::SCALE ? " or \"auto\"" : "") +
               " is expected";
    if (*value < info.min || *value > info.max) return std::to_string(*value) + " is out of range (" + range + ")";
    settings.*info.whole = static_cast<int>(*value);
    return "";
}

std::string assignChoice(Settings& settings, SettingInfo const& info, toml::node const& node) {
    auto const name = node.value_exact<std::string>();
    std::string expected;
    for (size_t i = 0; i < info.choices.size(); ++i) {
        if (name == info.choices[i]) {
            settings.*info.whole = static_cast<int>(i);
            return "";
        }
        expected += std::string(i == 0                        ? ""
                                : i + 1 < info.choices.size() ? ", "
                                                              : " or ") +
                    "\"" + info.choices[i] + "\"";
    }
    return expected + " is expected";
}

std::string assignKeys(Settings& settings, SettingInfo const& info, toml::node const& node) {
    toml::array const* names = node.as_array();
    if (!names || names->empty() || names->size() > 2) return "a list of one or two key names is expected";
    std::array<int, 2> keys{};
    for (size_t i = 0; i < names->size(); ++i) {
        auto const name = (*names)[i].value<std::string>();
        keys[i] = name ? keyOfName(*name) : 0;
        if (keys[i] == 0) return "\"" + name.value_or("?") + "\" is no key's name";
    }
    settings.keys[info.action] = keys;
    return "";
}

// Puts the node's value into the setting; returns why it cannot, or nothing.
std::string assign(Settings& settings, SettingInfo const& info, toml::node const& node) {
    std::string const range = number(info.min) + " to " + number(info.max);
    switch (info.kind) {
        case SettingInfo::NUMBER: return assignNumber(settings, info, node, range);
        case SettingInfo::WHOLE:
        case SettingInfo::SCALE: return assignWhole(settings, info, node, range);
        case SettingInfo::SWITCH: {
            auto const value = node.value_exact<bool>();
            if (!value) return "true or false is expected";
            settings.*info.flag = *value;
            return "";
        }
        case SettingInfo::CHOICE: return assignChoice(settings, info, node);
        case SettingInfo::KEYS: break;
    }
    return assignKeys(settings, info, node);
}

// A value that is not a table, with its key: the names of the tables it is
// in, then its own.
struct Leaf {
    std::vector<std::string> path;
    toml::node const* node;

    std::string key() const {
        std::string joined;
        for (std::string const& name : path) joined += (joined.empty() ? "" : ".") + name;
        return joined;
    }
};

void leaves(toml::table const& table, std::vector<std::string> const& prefix, std::vector<Leaf>& found) {
    for (auto const& [key, node] : table) {
        std::vector<std::string> path = prefix;
        path.emplace_back(key.str());
        if (auto const* inner = node.as_table()) {
            leaves(*inner, path, found);
        } else {
            found.push_back({path, &node});
        }
    }
}

// A key as TOML writes it: bare when it can be, else quoted.
std::string tomlKey(std::string const& name) {
    bool const bare = !name.empty() && std::all_of(name.begin(), name.end(), [](unsigned char c) {
        return std::isalnum(c) || c == '_' || c == '-';
    });
    if (bare) return name;
    std::string quoted = "\"";
    for (unsigned char const c : name) {
        if (c == '"' || c == '\\') quoted += '\\';
        quoted += c < 0x20 || c == 0x7F ? std::string(raylib::TextFormat("\\u%04X", c))
                                        : std::string(1, static_cast<char>(c));
    }
    return quoted + "\"";
}

// Whether a key the game does not know can be written back beside those it
// does: not where a setting, or a table of settings, stands.
bool keepable(std::string const& key) {
    for (SettingInfo const& info : settingInfos()) {
        std::string const known = info.key;
        if (known.rfind(key + ".", 0) == 0 || key.rfind(known + ".", 0) == 0) return false;
    }
    return true;
}

// Puts the table's values into the settings: those of the wrong type or out
// of range, and the keys of no setting, are left out, with a warning.
void readInto(Settings& settings, toml::table const& table, std::string const& fileName, SettingsRead& read) {
    std::vector<Leaf> values;
    leaves(table, {}, values);
    // In the file's order, not the keys'.
    std::stable_sort(values.begin(), values.end(), [](Leaf const& a, Leaf const& b) {
        return a.node->source().begin.line < b.node->source().begin.line;
    });
    for (Leaf const& leaf : values) {
        std::string const key = leaf.key();
        auto const warn = [&](std::string const& why) {
            toml::source_position const at = leaf.node->source().begin;
            read.warnings.push_back({.file = fileName,
                                     .line = static_cast<int>(at.line),
                                     .column = static_cast<int>(at.column),
                                     .message = key + ": " + why,
                                     .severity = Severity::WARNING});
        };
        SettingInfo const* info = findSetting(key);
        if (!info && !keepable(key)) {
            warn("no such setting, and in the way of one; it is dropped when saving");
        } else if (!info) {
            warn("no such setting; it is kept as it is");
            std::ostringstream line;
            for (size_t i = 0; i < leaf.path.size(); ++i) line << (i ? "." : "") << tomlKey(leaf.path[i]);
            line << " = " << toml::node_view<toml::node const>(leaf.node) << "\n";
            read.unknown += line.str();
        } else if (std::string const why = assign(settings, *info, *leaf.node); !why.empty()) {
            warn(why + "; using " + valueText(*info, settings, ValueStyle::IN_FILE));
        }
    }
}

// Where the first character that is not ASCII stands: toml++ 3.3 asks
// whether such characters are spaces in a way that runs into undefined
// behaviour, wherever its parser meets them outside a string, so a settings
// file (which the game writes in ASCII) must be ASCII. The line and column,
// or none.
std::optional<std::pair<int, int>> notAscii(std::string const& text) {
    int line = 1, column = 0;
    for (char const c : text) {
        ++column;
        if (static_cast<unsigned char>(c) >= 0x80) return std::pair(line, column);
        if (c == '\n') ++line, column = 0;
    }
    return std::nullopt;
}

}  // namespace

std::string defaultSettingsPath() {
    char const* config = std::getenv("XDG_CONFIG_HOME");
    char const* home = std::getenv("HOME");
    fs::path const folder = config && *config ? fs::path(config) : fs::path(home ? home : ".") / ".config";
    return (folder / "tessarine" / "settings.toml").string();
}

SettingsRead readSettings(std::string const& text, std::string const& fileName) {
    SettingsRead read;
    toml::table table;
    auto const unreadable = [&](auto line, auto column, std::string const& why) {
        read.unreadable = true;
        read.warnings.push_back({.file = fileName,
                                 .line = static_cast<int>(line),
                                 .column = static_cast<int>(column),
                                 .message = "not a TOML file: " + why + "; using every default",
                                 .severity = Severity::WARNING});
        return read;
    };
    if (auto const stray = notAscii(text)) {
        return unreadable(stray->first, stray->second, "a character that is not ASCII (the file is plain ASCII)");
    }
    try {
        table = toml::parse(std::string_view(text), std::string_view(fileName));
    } catch (toml::parse_error const& error) {
        return unreadable(error.source().begin.line, error.source().begin.column, std::string(error.description()));
    }
    readInto(read.settings, table, fileName, read);
    return read;
}

SettingsRead loadSettings(std::string const& path) {
    std::error_code error;
    if (!fs::exists(path, error)) return {};
    std::ifstream file(path, std::ios::binary);
    std::optional<std::string> const text = readRest(file);
    if (text) return readSettings(*text, path);
    // Kept as it is, as a file that is no TOML is.
    SettingsRead read;
    read.unreadable = true;
    read.warnings.push_back({.file = path,
                             .line = 0,
                             .column = 0,
                             .message = "it cannot be read; using every default",
                             .severity = Severity::WARNING});
    return read;
}

std::string setFromText(Settings& settings, std::string const& assignment) {
    std::string const given = "--set " + assignment + ": ";
    if (notAscii(assignment)) return given + "a character that is not ASCII";
    toml::table table;
    try {
        table = toml::parse(std::string_view(assignment), std::string_view("--set"));
    } catch (toml::parse_error const& error) {
        return given + "expected KEY=VALUE, the value as the file writes it: " + std::string(error.description());
    }
    std::vector<Leaf> values;
    leaves(table, {}, values);
    if (values.size() != 1) return given + "expected one KEY=VALUE";
    SettingInfo const* info = findSetting(values[0].key());
    if (!info) return given + "no such setting";
    Settings changed = settings;
    if (std::string const why = assign(changed, *info, *values[0].node); !why.empty()) return given + why;
    settings = changed;
    return "";
}

std::string settingsText(Settings const& settings, std::string const& unknown) {
    std::string text =
        "# Tessarine's settings, written by its settings screen. Each setting\n"
        "# follows what it is for; a setting left out keeps its default.\n";
    for (SettingInfo const& info : settingInfos()) {
        text += "\n# " + std::string(info.comment) + "\n" + info.key + " = " +
                valueText(info, settings, ValueStyle::IN_FILE) + "\n";
    }
    if (!unknown.empty()) text += "\n# Settings this version of the game does not know, kept as they were\n" + unknown;
    return text;
}

std::string saveSettings(std::string const& path, Settings const& settings, SettingsRead const& loaded) {
    std::error_code error;
    fs::path const target(path);
    if (!target.parent_path().empty()) fs::create_directories(target.parent_path(), error);
    std::string const temporary = path + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << settingsText(settings, loaded.unknown);
        out.flush();
        if (!out) {
            std::string const why = std::strerror(errno);
            fs::remove(temporary, error);
            return "cannot write " + temporary + ": " + why;
        }
    }
    if (loaded.unreadable && fs::exists(path, error))
        fs::copy_file(path, path + ".bad", fs::copy_options::overwrite_existing, error);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::string const why = std::strerror(errno);
        fs::remove(temporary, error);
        return "cannot replace " + path + ": " + why;
    }
    return "";
}
