#include "platform/FtpText.h"

#include <cctype>
#include <vector>

namespace FtpText {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// The line's fields split at blanks, each with where it begins.
struct Field {
    std::string_view text;
    std::size_t start;
};

std::vector<Field> fieldsOf(std::string_view line) {
    std::vector<Field> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && isBlank(line[at]))
            ++at;
        const std::size_t start = at;
        while (at < line.size() && !isBlank(line[at]))
            ++at;
        if (at > start)
            fields.push_back(Field{line.substr(start, at - start), start});
    }
    return fields;
}

bool isMonth(std::string_view text) {
    static constexpr std::string_view kMonths[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                                   "jul", "aug", "sep", "oct", "nov", "dec"};
    if (text.size() != 3)
        return false;
    for (std::string_view month : kMonths) {
        bool same = true;
        for (std::size_t i = 0; i < 3; ++i)
            same = same && std::tolower(static_cast<unsigned char>(text[i])) == month[i];
        if (same)
            return true;
    }
    return false;
}

bool allDigits(std::string_view text) {
    if (text.empty())
        return false;
    for (char c : text)
        if (!isDigit(c))
            return false;
    return true;
}

// "12:30" or "1995".
bool isTimeOrYear(std::string_view text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string_view::npos)
        return text.size() == 4 && allDigits(text);
    return allDigits(text.substr(0, colon)) && allDigits(text.substr(colon + 1));
}

// After the date's last field one blank separates the name, which may begin with blanks itself.
std::string_view nameAfter(std::string_view line, const Field& last) {
    const std::size_t end = last.start + last.text.size();
    return end + 1 < line.size() ? line.substr(end + 1) : std::string_view();
}

std::optional<stListEntry> unixEntry(std::string_view line, const std::vector<Field>& fields) {
    const char type = fields[0].text[0];
    // The owner and the group may be missing or hold blanks: the date is what is looked for.
    for (std::size_t i = 1; i + 2 < fields.size(); ++i) {
        if (!isMonth(fields[i].text) || !allDigits(fields[i + 1].text) ||
            !isTimeOrYear(fields[i + 2].text))
            continue;
        std::string_view name = nameAfter(line, fields[i + 2]);
        if (type == 'l') {
            const std::size_t arrow = name.find(" -> ");
            if (arrow != std::string_view::npos)
                name = name.substr(0, arrow);
        }
        if (name.empty())
            return std::nullopt;
        return stListEntry{std::string(name), type == 'd'};
    }
    return std::nullopt;
}

bool isDosDate(std::string_view text) {
    // "07-13-03" or "07-13-2003".
    return (text.size() == 8 || text.size() == 10) && isDigit(text[0]) && isDigit(text[1]) &&
           text[2] == '-' && isDigit(text[3]) && isDigit(text[4]) && text[5] == '-' &&
           allDigits(text.substr(6));
}

std::optional<stListEntry> dosEntry(std::string_view line, const std::vector<Field>& fields) {
    if (fields.size() < 4 || !isDosDate(fields[0].text) ||
        fields[1].text.find(':') == std::string_view::npos)
        return std::nullopt;
    const bool directory = fields[2].text == "<DIR>";
    if (!directory && !allDigits(fields[2].text))
        return std::nullopt;
    // The name begins after the blanks that follow the size or "<DIR>".
    std::size_t start = fields[2].start + fields[2].text.size();
    while (start < line.size() && isBlank(line[start]))
        ++start;
    return stListEntry{std::string(line.substr(start)), directory};
}

} // namespace

std::optional<int> replyCode(std::string_view line) {
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return std::nullopt;
    if (line.size() > 3 && line[3] != ' ' && line[3] != '-')
        return std::nullopt;
    return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

bool endsReply(std::string_view line, int code) {
    return replyCode(line) == code && (line.size() == 3 || line[3] == ' ');
}

std::optional<stEndpoint> passiveEndpoint(std::string_view reply) {
    // The six numbers follow the code; some servers leave out the brackets.
    std::size_t at = reply.find('(');
    at = at == std::string_view::npos ? 4 : at + 1;
    while (at < reply.size() && !isDigit(reply[at]))
        ++at;
    unsigned parts[6] = {};
    for (std::size_t part = 0; part < 6; ++part) {
        if (part > 0) {
            if (at >= reply.size() || reply[at] != ',')
                return std::nullopt;
            ++at;
        }
        const std::size_t start = at;
        while (at < reply.size() && isDigit(reply[at]) && at - start < 3)
            parts[part] = parts[part] * 10 + static_cast<unsigned>(reply[at++] - '0');
        if (at == start || parts[part] > 255)
            return std::nullopt;
    }
    stEndpoint endpoint;
    for (std::size_t i = 0; i < 4; ++i)
        endpoint.address[i] = static_cast<std::uint8_t>(parts[i]);
    endpoint.port = static_cast<std::uint16_t>(parts[4] * 256 + parts[5]);
    return endpoint;
}

std::string portArgument(const stEndpoint& endpoint) {
    std::string argument;
    for (std::uint8_t part : endpoint.address)
        argument += std::to_string(part) + ",";
    return argument + std::to_string(endpoint.port / 256) + "," +
           std::to_string(endpoint.port % 256);
}

std::optional<stListEntry> listEntry(std::string_view line) {
    const std::vector<Field> fields = fieldsOf(line);
    if (fields.empty())
        return std::nullopt;
    const std::string_view first = fields[0].text;
    // Ten mode letters, and an eleventh where the system marks extra rights ("+", ".", "@").
    if ((first.size() == 10 || first.size() == 11) &&
        std::string_view("dl-bcps").find(first[0]) != std::string_view::npos)
        return unixEntry(line, fields);
    return dosEntry(line, fields);
}

} // namespace FtpText
