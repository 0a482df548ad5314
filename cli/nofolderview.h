#pragma once
// The tool has no message tree: the runs find no folder shown and keep nothing in step.

#include "exchange/folderview.h"

class NoFolderView : public FolderView
{
public:
    int currentFolder() const override { return -1; }
    void addArticleNode(int, int) override {}
    void deleteArticleNode(int) override {}
};
