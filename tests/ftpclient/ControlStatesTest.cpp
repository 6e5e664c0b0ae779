// The enabled state of the main window's commands, as a table over the
// connection and the selections.
#include "ftpclient/main/ControlStates.h"

#include <gtest/gtest.h>

using karvo::ControlStates;
using karvo::Selection;

namespace {

struct Row {
    const char* name;
    bool connected;
    int state;
    Selection local;
    Selection remote;
    // Expected: delete/rename local, send; delete/rename remote, receive.
    bool deleteLocal, renameLocal, send, deleteRemote, renameRemote, receive;
};

class ControlStatesTest : public ::testing::TestWithParam<Row> {};

TEST_P(ControlStatesTest, FollowConnectionAndSelections) {
    const Row& row = GetParam();
    ControlStates c;
    c.SetConnectedState(row.connected);
    c.UpdateLocalCommands(row.local, row.state);
    c.UpdateRemoteCommands(row.remote);
    EXPECT_EQ(c.miDeleteLocalFile, row.deleteLocal);
    EXPECT_EQ(c.miRenameLocalFile, row.renameLocal);
    EXPECT_EQ(c.cmdSend, row.send);
    EXPECT_EQ(c.miDeleteRemoteFile, row.deleteRemote);
    EXPECT_EQ(c.miRenameRemoteFile, row.renameRemote);
    EXPECT_EQ(c.cmdReceive, row.receive);
    // Connecting and disconnecting are each other's opposite.
    for (bool on : {c.cmdDisconnect, c.cmdUpFtp, c.cboRemotePath, c.mnuFileDisconnect, c.miRemote})
        EXPECT_EQ(on, row.connected);
    for (bool on : {c.cmdConnect, c.cmdQConnect, c.mnuFileConnect}) EXPECT_EQ(on, !row.connected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, ControlStatesTest,
    ::testing::Values(
        //  name                  conn  state local       remote      dL     rL     send   dR     rR
        //  recv
        Row{"nothing_selected", true, 2, {}, {}, false, false, false, false, false, false},
        Row{"one_file_each", true, 2, {1, 0, 0}, {1, 0, 0}, true, true, true, true, true, true},
        Row{"one_folder_each", true, 2, {0, 1, 0}, {0, 1, 0}, false, false, true, true, true, true},
        Row{"one_link_each", true, 2, {0, 0, 1}, {0, 0, 1}, false, false, true, false, false, true},
        Row{"several", true, 2, {1, 1, 0}, {0, 1, 1}, true, false, true, true, false, true},
        Row{"busy_connection", true, 11, {1, 0, 0}, {}, true, true, false, false, false, false},
        Row{"disconnected", false, 0, {2, 0, 0}, {}, true, false, false, false, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
