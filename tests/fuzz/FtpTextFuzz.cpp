// Any bytes as a line a server sent to our own listing connection: a reply code is the three
// digits it begins with; an end of reply is a line of that code followed by a blank or nothing;
// a passive address read from a reply is written back by portArgument and read again unchanged;
// a listing entry's name is a non-empty part of the line, and a folder is marked as one there.
#include "FuzzChecks.h"
#include "platform/FtpText.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);

    if (const std::optional<int> code = FtpText::replyCode(line)) {
        check(line.size() >= 3 && *code == std::stoi(std::string(line.substr(0, 3))));
        check(line.size() == 3 || line[3] == ' ' || line[3] == '-');
        check(FtpText::endsReply(line, *code) == (line.size() == 3 || line[3] == ' '));
        check(!FtpText::endsReply(line, *code + 1));
    } else {
        check(!FtpText::endsReply(line, 227));
    }

    if (const std::optional<FtpText::stEndpoint> endpoint = FtpText::passiveEndpoint(line)) {
        const std::string written = FtpText::portArgument(*endpoint);
        const auto again = FtpText::passiveEndpoint("227 Entering Passive Mode (" + written + ").");
        check(again && again->address == endpoint->address && again->port == endpoint->port);
    }

    if (const std::optional<FtpText::stListEntry> entry = FtpText::listEntry(line)) {
        check(!entry->name.empty());
        check(line.find(entry->name) != std::string_view::npos);
        const std::size_t first = line.find_first_not_of(" \t");
        check(!entry->directory || line[first] == 'd' ||
              line.find("<DIR>") != std::string_view::npos);
    }
    return 0;
}
