#pragma once
// NNTP reply codes the client acts on (RFC 977, RFC 2980, RFC 3977, RFC 4642, RFC 4643).

namespace NntpCode {
inline constexpr int CapabilityList = 101;
inline constexpr int PostingAllowed = 200;
inline constexpr int NoPosting = 201;
inline constexpr int ClosingConnection = 205;
inline constexpr int GroupSelected = 211;
inline constexpr int ListFollows = 215;
inline constexpr int ArticleFollows = 220; // 220..223: the article exists
inline constexpr int ArticleStatLast = 223;
inline constexpr int HeadFollows = 221; // also XHDR's header lines
inline constexpr int OverviewFollows = 224;
inline constexpr int HeadersFollow = 225; // HDR
inline constexpr int ArticlePosted = 240;
inline constexpr int AuthAccepted = 281;
inline constexpr int SendArticle = 340;
inline constexpr int PasswordRequired = 381;
inline constexpr int ContinueWithTls = 382;
inline constexpr int ServiceUnavailable = 400;
inline constexpr int NoGroupSelected = 412;
inline constexpr int NoArticlesInRange = 420; // RFC 2980 XOVER
inline constexpr int NoCurrentArticle = 421; // 421..423 and 430: no such article
inline constexpr int NoSuchArticleInGroup = 423;
inline constexpr int NoSuchArticle = 430;
inline constexpr int PostingFailed = 441;
inline constexpr int AuthRequiredOld = 450; // RFC 977 era servers
inline constexpr int AuthRequired = 480;
inline constexpr int AuthRejected = 481;
inline constexpr int PermanentlyUnavailable = 502;
} // namespace NntpCode
