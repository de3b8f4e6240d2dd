// Recording and comparing message sequences, with readable failure output.
#include "message_log.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

std::vector<SeenMessage> MessageLog;

void LogMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    MessageLog.push_back(SeenMessage{message, wParam, lParam});
}

namespace {

struct MessageNameRow {
    UINT message;
    const char* name; // cppcheck-suppress unusedStructMember ; read through find_if's result
};

constexpr MessageNameRow kNames[] = {
    {WM_CREATE, "WM_CREATE"},
    {WM_DESTROY, "WM_DESTROY"},
    {WM_MOVE, "WM_MOVE"},
    {WM_SIZE, "WM_SIZE"},
    {WM_ACTIVATE, "WM_ACTIVATE"},
    {WM_SETFOCUS, "WM_SETFOCUS"},
    {WM_KILLFOCUS, "WM_KILLFOCUS"},
    {WM_PAINT, "WM_PAINT"},
    {WM_CLOSE, "WM_CLOSE"},
    {WM_QUIT, "WM_QUIT"},
    {WM_ERASEBKGND, "WM_ERASEBKGND"},
    {WM_SHOWWINDOW, "WM_SHOWWINDOW"},
    {WM_ACTIVATEAPP, "WM_ACTIVATEAPP"},
    {WM_SETFONT, "WM_SETFONT"},
    {WM_GETFONT, "WM_GETFONT"},
    {WM_WINDOWPOSCHANGING, "WM_WINDOWPOSCHANGING"},
    {WM_WINDOWPOSCHANGED, "WM_WINDOWPOSCHANGED"},
    {WM_SETICON, "WM_SETICON"},
    {WM_NCCREATE, "WM_NCCREATE"},
    {WM_NCDESTROY, "WM_NCDESTROY"},
    {WM_NCACTIVATE, "WM_NCACTIVATE"},
    {WM_GETDLGCODE, "WM_GETDLGCODE"},
    {WM_KEYDOWN, "WM_KEYDOWN"},
    {WM_KEYUP, "WM_KEYUP"},
    {WM_CHAR, "WM_CHAR"},
    {WM_SYSKEYDOWN, "WM_SYSKEYDOWN"},
    {WM_SYSCHAR, "WM_SYSCHAR"},
    {WM_INITDIALOG, "WM_INITDIALOG"},
    {WM_COMMAND, "WM_COMMAND"},
    {WM_SYSCOMMAND, "WM_SYSCOMMAND"},
    {WM_TIMER, "WM_TIMER"},
    {WM_CTLCOLOREDIT, "WM_CTLCOLOREDIT"},
    {WM_CTLCOLORBTN, "WM_CTLCOLORBTN"},
    {WM_CTLCOLORSTATIC, "WM_CTLCOLORSTATIC"},
    {WM_CTLCOLORDLG, "WM_CTLCOLORDLG"},
    {WM_NEXTDLGCTL, "WM_NEXTDLGCTL"},
    {WM_CHANGEUISTATE, "WM_CHANGEUISTATE"},
    {WM_UPDATEUISTATE, "WM_UPDATEUISTATE"},
    {WM_ENTERIDLE, "WM_ENTERIDLE"},
    {WM_MENUSELECT, "WM_MENUSELECT"},
};

bool Matches(const SeenMessage& seen, const ExpectedMessage& expected) {
    if (seen.message != expected.message) {
        return false;
    }
    return (expected.flags & MatchWParam) == 0 || seen.wParam == expected.wParam;
}

std::string DescribeExpected(const ExpectedMessage& expected) {
    std::string text = MessageName(expected.message);
    if ((expected.flags & MatchWParam) != 0) {
        char number[32];
        std::snprintf(number, sizeof number, " wParam %#lx",
                      static_cast<unsigned long>(expected.wParam));
        text += number;
    }
    return text;
}

} // namespace

std::string MessageName(UINT message) {
    const auto* row =
        std::find_if(std::begin(kNames), std::end(kNames),
                     [message](const MessageNameRow& r) { return r.message == message; });
    if (row != std::end(kNames)) {
        return row->name;
    }
    char number[32];
    std::snprintf(number, sizeof number, "message %#x", message);
    return number;
}

std::string Describe(const std::vector<SeenMessage>& log) {
    std::string text;
    for (std::size_t i = 0; i < log.size(); ++i) {
        char line[128];
        std::snprintf(line, sizeof line, "  %3u %-22s wParam %#lx lParam %#lx\n",
                      static_cast<unsigned>(i), MessageName(log[i].message).c_str(),
                      static_cast<unsigned long>(log[i].wParam),
                      static_cast<unsigned long>(log[i].lParam));
        text += line;
    }
    return text;
}

::testing::AssertionResult SeenInOrder(const std::vector<SeenMessage>& log,
                                       const ExpectedMessage* expected, std::size_t count) {
    std::size_t at = 0;
    for (std::size_t i = 0; i < count; ++i) {
        while (at < log.size() && !Matches(log[at], expected[i])) {
            ++at;
        }
        if (at == log.size()) {
            return ::testing::AssertionFailure()
                   << "expected " << DescribeExpected(expected[i]) << " (item " << i
                   << " of the expected sequence)"
                   << (i > 0 ? " after " + DescribeExpected(expected[i - 1]) : std::string())
                   << ", got none; the handler saw:\n"
                   << Describe(log);
        }
        ++at;
    }
    return ::testing::AssertionSuccess();
}

std::size_t CountSeen(const std::vector<SeenMessage>& log, UINT message) {
    return static_cast<std::size_t>(
        std::count_if(log.begin(), log.end(),
                      [message](const SeenMessage& seen) { return seen.message == message; }));
}
