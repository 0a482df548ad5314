-- The store "qa.mdb": every table the program reads and writes.
--
-- Yes/No columns hold -1 (true) and 0 (false), so that an ascending order lists
-- true before false and "Kind desc" lists folders before categories.
-- Autonumber keys are AUTOINCREMENT: assigned on insert, increasing, never reused.
-- Dates are local times written as "yyyy-MM-dd HH:mm:ss".
-- Memo columns hold text whose lines are separated by CR LF.
-- Text compares, sorts and indexes without regard to case, as names are
-- looked up by the program.

CREATE TABLE Article (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  Parent        INTEGER DEFAULT 0,
  Folder        INTEGER,
  ArticleType   YESNO,
  IsRead        YESNO,
  Expire        YESNO DEFAULT 0,
  Subject       TEXT COLLATE NOCASE,
  "From"        TEXT COLLATE NOCASE,
  SentDate      DATETIME,
  Source        TEXT COLLATE NOCASE,
  Body          MEMO COLLATE NOCASE,
  Category      INTEGER,
  CategoryPath  TEXT COLLATE NOCASE,
  Account       INTEGER,
  Newsgroup     TEXT COLLATE NOCASE,
  "References"  TEXT COLLATE NOCASE
);
CREATE INDEX ArticleFolder ON Article (Folder, Parent);
CREATE INDEX ArticleParent ON Article (Parent);

CREATE TABLE SentArticles (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  ArticleId     INTEGER,
  MessageId     TEXT COLLATE NOCASE,
  ReferencesId  TEXT COLLATE NOCASE,
  GroupId       INTEGER
);
CREATE INDEX SentArticlesMessageId ON SentArticles (MessageId);
CREATE INDEX SentArticlesGroup ON SentArticles (GroupId, Code);
CREATE INDEX SentArticlesArticle ON SentArticles (ArticleId);

CREATE TABLE Groups (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  GroupName     TEXT COLLATE NOCASE,
  Subscribed    YESNO DEFAULT 0
);
CREATE INDEX GroupName ON Groups (GroupName);

-- One row per (newsgroup, server) pair: the list loader inserts the pair on
-- every load and ignores the refusal of a repeat, so joins through this table
-- name each server once.
CREATE TABLE GroupServer (
  Newsgroup     INTEGER,
  Server        INTEGER
);
CREATE UNIQUE INDEX ServerIdx ON GroupServer (Server, Newsgroup);
CREATE INDEX GroupServerNewsgroup ON GroupServer (Newsgroup);

CREATE TABLE Servers (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  ProfileName   TEXT COLLATE NOCASE,
  ServerName    TEXT COLLATE NOCASE,
  Port          INTEGER,
  RequiresLogin YESNO DEFAULT 0,
  Login         TEXT COLLATE NOCASE,
  Password      TEXT COLLATE NOCASE,
  IsProxy       YESNO DEFAULT 0,
  Host          TEXT COLLATE NOCASE,
  ProxyPort     INTEGER,
  ProxyLogin    TEXT COLLATE NOCASE,
  ProxyPassword TEXT COLLATE NOCASE
);

CREATE TABLE Account (
  Code             INTEGER PRIMARY KEY AUTOINCREMENT,
  AccountName      VARCHAR(50) COLLATE NOCASE,
  UserName         VARCHAR(100) COLLATE NOCASE,
  Organization     VARCHAR(50) COLLATE NOCASE,
  "E-mail address" VARCHAR(100) COLLATE NOCASE,
  ReplyAddress     VARCHAR(100) COLLATE NOCASE,
  DefaultAccount   YESNO DEFAULT 0
);

CREATE TABLE Categories (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  Parent        INTEGER DEFAULT 0,
  Kind          YESNO,
  Name          TEXT COLLATE NOCASE
);
CREATE INDEX CategoriesParent ON Categories (Parent);

CREATE TABLE GroupCategory (
  Code          INTEGER PRIMARY KEY AUTOINCREMENT,
  Newsgroup     INTEGER,
  Category      INTEGER
);
CREATE INDEX GroupCategoryCategory ON GroupCategory (Category);
