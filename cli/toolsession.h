#pragma once
// One command's hold on the store and the network: the data module on the
// "qa.mdb" of the working directory, the console interface, and the news
// client set up as the tool uses it (STARTTLS where a server offers it, the
// certificate question put to the console interface).
//
// Opening throws StoreError as the data module does. The data module commits
// when the session ends; a command that must discard its work rolls back first.

#include "cli/consoleui.h"
#include "cli/nofolderview.h"

#include <memory>

class Tdm;

class ToolSession
{
public:
    explicit ToolSession(ConsoleUi::Answers answers);
    ~ToolSession();
    ToolSession(const ToolSession &) = delete;
    ToolSession &operator=(const ToolSession &) = delete;

    Tdm &dm() { return *m_dm; }
    ConsoleUi &ui() { return m_ui; }
    FolderView &folders() { return m_folders; }

private:
    ConsoleUi m_ui;
    NoFolderView m_folders;
    std::unique_ptr<Tdm> m_dm;
};
