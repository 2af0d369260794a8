#pragma once
// Permission bits do not stop the super-user, and CI runs the tests as root. Tests of
// unreadable files and folders run their body through runUnprivileged: in a child process
// that, under root, first switches to the unprivileged account (uid and gid 65534).
#include <functional>
#include <string>

namespace Unprivileged {
// Runs `body` in a child process and returns its result (0-200), or -1 when the child
// could not be started or could not drop its privileges. gtest assertions inside `body`
// do not reach the parent: return a code and compare it in the test.
int run(const std::function<int()>& body);
// Makes `path` reachable and writable for the child (the test's temporary folders are 0700).
void openUp(const std::string& path);
}
