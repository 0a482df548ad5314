#pragma once
// The main window's tree as the message commands, the editors and the runs
// see it (MessageFolder, FolderView): the folder shown, the selected message,
// the messages below a message, and nodes added for stored rows by their code.

#include "messages/messagefolder.h"
#include "store/rowset.h"

class TfmMain;

class MainFolderView : public MessageFolder
{
public:
    explicit MainFolderView(TfmMain &main);

    int currentFolder() const override;
    // Reads the row by its code; a code no row has adds nothing.
    void addArticleNode(int code, int parentCode) override;
    void deleteArticleNode(int code) override;
    void expandArticleNode(int code) override;

    QWidget *window() const override;
    int selectedCode() const override;
    QList<int> childCodes(int code) const override;
    RowSet &qryReadArticle() override;

private:
    TfmMain &m_main;
    RowSet m_row; // the row a node is added for
};
