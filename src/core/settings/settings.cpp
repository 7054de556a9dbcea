#include "settings.h"

#include <cerrno>
#include <climits>
#include <sys/stat.h>

namespace veldor {
namespace {

constexpr mode_t kSettingsMode = 0600;
// Eight lines of login, password and numbers; anything longer is not a settings file.
constexpr std::size_t kMaxSettingsBytes = 64 * 1024;

// A text-file reader with the rules of the platform the file format comes from.
class TextReader
{
public:
    explicit TextReader(std::string_view data) : m_data(data) {}

    std::string readLine()
    {
        const std::size_t start = m_pos;
        while (m_pos < m_data.size() && m_data[m_pos] != '\r' && m_data[m_pos] != '\n')
            ++m_pos;
        std::string text(m_data.substr(start, m_pos - start));
        skipLineEnd();
        return text;
    }

    // nullopt for a token that is not an integer.
    std::optional<std::int32_t> readInteger()
    {
        while (m_pos < m_data.size() && isBlankOrLineEnd(m_data[m_pos]))
            ++m_pos;
        const std::size_t start = m_pos;
        while (m_pos < m_data.size() && m_pos - start < 32 && static_cast<unsigned char>(m_data[m_pos]) > 32)
            ++m_pos;
        const std::string_view token = m_data.substr(start, m_pos - start);
        skipRestOfLine();
        if (token.empty())
            return 0;
        return toInteger(token);
    }

private:
    static bool isBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

    void skipLineEnd()
    {
        if (m_pos < m_data.size() && m_data[m_pos] == '\r')
            ++m_pos;
        if (m_pos < m_data.size() && m_data[m_pos] == '\n')
            ++m_pos;
    }

    void skipRestOfLine()
    {
        while (m_pos < m_data.size() && m_data[m_pos] != '\r' && m_data[m_pos] != '\n')
            ++m_pos;
        skipLineEnd();
    }

    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; out of the 32-bit range is an error.
    static std::optional<std::int32_t> toInteger(std::string_view t)
    {
        bool negative = false;
        if (!t.empty() && (t[0] == '+' || t[0] == '-')) {
            negative = t[0] == '-';
            t.remove_prefix(1);
        }
        int base = 10;
        if (!t.empty() && t[0] == '$') {
            base = 16;
            t.remove_prefix(1);
        } else if (t.size() > 1 && t[0] == '0' && (t[1] == 'x' || t[1] == 'X')) {
            base = 16;
            t.remove_prefix(2);
        }
        if (t.empty())
            return std::nullopt;
        long long value = 0;
        for (char c : t) {
            int digit;
            if (c >= '0' && c <= '9')
                digit = c - '0';
            else if (base == 16 && c >= 'a' && c <= 'f')
                digit = c - 'a' + 10;
            else if (base == 16 && c >= 'A' && c <= 'F')
                digit = c - 'A' + 10;
            else
                return std::nullopt;
            value = value * base + digit;
            if (value > 0x100000000LL)
                return std::nullopt;
        }
        if (base == 16 && !negative && value <= 0xFFFFFFFFLL)
            return static_cast<std::int32_t>(static_cast<std::uint32_t>(value)); // hex literals wrap
        if (negative)
            value = -value;
        if (value < INT32_MIN || value > INT32_MAX)
            return std::nullopt;
        return static_cast<std::int32_t>(value);
    }

    std::string_view m_data;
    std::size_t m_pos = 0;
};

std::string oneLine(std::string text)
{
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    return text;
}

} // namespace

SettingsRead ParseSettings(std::string_view bytes)
{
    SettingsRead r;
    TextReader in(bytes);
    r.login = in.readLine();
    r.password = in.readLine();
    // One word that does not read costs its own line, never the password or the lines after it.
    int line = 3;
    const auto number = [&]() {
        const auto v = in.readInteger();
        if (!v)
            r.badLines.push_back(line);
        ++line;
        return v;
    };
    r.curLab = number();
    r.cellSize = number();
    for (std::optional<bool>* flag : {&r.autoLogin, &r.passDoors, &r.playSounds, &r.hidePanels}) {
        if (const auto v = number())
            *flag = *v == 1;
    }
    if (const auto v = in.readInteger())
        r.showFrontier = *v == 1;
    return r;
}

std::string SerializeSettings(const Settings& s)
{
    const auto flag = [](bool on) { return on ? "1" : "0"; };
    std::string out;
    out += oneLine(s.StoredLogin) + "\r\n";
    out += oneLine(s.StoredPassword) + "\r\n";
    out += std::to_string(s.CurLab) + "\r\n";
    out += std::to_string(s.CellSize) + "\r\n";
    out += std::string(flag(s.AutoLogin)) + "\r\n";
    out += std::string(flag(s.PassDoors)) + "\r\n";
    out += std::string(flag(s.PlaySounds)) + "\r\n";
    out += std::string(flag(s.HidePanels)) + "\r\n";
    out += std::string(flag(s.ShowFrontier)) + "\r\n";
    return out;
}

void ApplySettingsRead(const SettingsRead& read, Settings& s)
{
    if (read.login)
        s.StoredLogin = *read.login;
    if (read.password)
        s.StoredPassword = *read.password;
    if (read.curLab)
        s.CurLab = *read.curLab;
    if (read.cellSize)
        s.CellSize = *read.cellSize;
    if (read.autoLogin)
        s.AutoLogin = *read.autoLogin;
    if (read.passDoors)
        s.PassDoors = *read.passDoors;
    if (read.playSounds)
        s.PlaySounds = *read.playSounds;
    if (read.hidePanels)
        s.HidePanels = *read.hidePanels;
    if (read.showFrontier)
        s.ShowFrontier = *read.showFrontier;
    if (read.failed)
        s.StoredPassword.clear();
}

SettingsLoadResult LoadSettingsFile(const std::string& path, bool mayWrite)
{
    SettingsLoadResult result;
    if (mayWrite) {
        // A killed save leaves its temporary file, password included, beside user.dat.
        const auto slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        finishInterruptedSaves(folder, name);
        removeStaleTemporaries(folder, name);
    }
    const SmallFile file = readSmallRegularFile(path, kMaxSettingsBytes);
    switch (file.status) {
    case ReadStatus::Ok:
        result.read = ParseSettings(file.bytes);
        break;
    case ReadStatus::Missing:
        result.read.failed = true;
        break;
    default:
        // Not the settings file as anyone wrote it: left alone and reported, nothing is taken from it.
        result.read.failed = true;
        result.unreadable = file.error;
        result.unreadableKind = errorKind(file.status);
        return result;
    }
    if (file.status == ReadStatus::Missing && mayWrite)
        result.fileReset = replaceFileContents(path, "", 0, kSettingsMode, ModePolicy::ForceMode);
    return result;
}

FileResult SaveSettingsFile(const std::string& path, const Settings& settings)
{
    const std::string text = SerializeSettings(settings);
    return replaceFileContents(path, text.data(), text.size(), kSettingsMode, ModePolicy::ForceMode);
}

} // namespace veldor
