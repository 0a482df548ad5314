-- Tables beyond the eight of the store's first design. `quorbic-cli init`
-- makes them with the rest; `quorbic-cli upgrade` adds the missing ones to an
-- older store. The program never makes them by itself and works without any
-- of them, with the features they keep turned off.
--
-- Each statement must be CREATE TABLE IF NOT EXISTS or CREATE INDEX IF NOT
-- EXISTS, so that the script can run again over a store that has some of them.
-- One block per feature, each led by a comment that names it.

-- Scan marks: for each group and server, the highest article number that the
-- last complete retrieval scan of the group on that server examined. The next
-- scan starts right after it. Without the table every scan starts at the
-- oldest recorded copy of the group.
CREATE TABLE IF NOT EXISTS ScanMarks (
  Newsgroup     INTEGER NOT NULL,
  Server        INTEGER NOT NULL,
  LastArticle   INTEGER NOT NULL,
  PRIMARY KEY (Newsgroup, Server)
);

-- Newsgroup descriptions: each group's one-line description as a server's
-- LIST NEWSGROUPS gives it, loaded with the newsgroup lists and shown beside
-- the name in the Newsgroups dialog and the category manager, whose filters
-- match it too.
CREATE TABLE IF NOT EXISTS GroupDescriptions (
  Newsgroup     INTEGER PRIMARY KEY,
  Description   TEXT COLLATE NOCASE
);

-- Answer headers: the header block of each retrieved answer, byte for byte as
-- the server sent it (lines ending in CR LF), beside its Article row, so that
-- the body can be read as its MIME header declares. Without this table
-- retrieval fetches bodies only and answers are shown as their bodies stand.
CREATE TABLE IF NOT EXISTS ArticleHeader (
  ArticleId     INTEGER PRIMARY KEY,
  Header        BLOB
);

-- Posting mode of an expert category. CrossPost Yes: a question filed under
-- the category goes out as one cross-post per server (Newsgroups naming its
-- groups, at most ten per article); a category without a row, or with No,
-- gets one copy per newsgroup. Category is the Categories row's Code.
CREATE TABLE IF NOT EXISTS CategoryPosting (
  Category      INTEGER PRIMARY KEY,
  CrossPost     YESNO DEFAULT 0
);

-- Newsgroups a posted message did not reach, each with the reply of the last
-- server that refused it (or why no server was tried), so that the message
-- can be posted again to exactly these groups. ArticleId is the Article
-- row's Code.
CREATE TABLE IF NOT EXISTS UnpostedGroups (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  ArticleId     INTEGER,
  GroupName     TEXT COLLATE NOCASE,
  Reply         TEXT COLLATE NOCASE
);
CREATE INDEX IF NOT EXISTS UnpostedGroupsArticle ON UnpostedGroups (ArticleId);
