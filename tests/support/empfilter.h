#pragma once
// A spam filter for innd's Perl hook (filter_innd.pl), modelled on the
// default settings of the filters public news servers run there: the 6th and
// every later article with one body is refused as excessive multi-posting
// ("EMP (md5)"; the same body ignoring case, punctuation, blanks and quoted
// lines), and so is a cross-post to more than 10 groups ("Crosspost Limit
// Exceeded"). Each article checked counts, refused ones too. The counts live
// as long as the filter is loaded: InnServer::reloadFilter() forgets them.
// A reader's POST reaches the filter through innd, and nnrpd answers a refusal
// with "441 437 " and the filter's reason.

#include <QByteArray>

namespace EmpFilter {

inline QByteArray perl()
{
    return R"perl(# Test filter: excessive multi-posting and over-wide cross-posts.
use Digest::MD5 qw(md5_hex);
our %bodies = ();

sub filter_art {
    my @groups = split(/\s*,\s*/, $hdr{'Newsgroups'});
    my $text = join("\n", grep { !/^\s*>/ } split(/\r?\n/, $hdr{'__BODY__'}));
    $text = lc($text);
    $text =~ s/[^a-z0-9]//g;
    my $count = ++$bodies{md5_hex($text)};
    return "Crosspost Limit Exceeded" if @groups > 10;
    return "EMP (md5)" if $count
        > 5;
    return "";
}

1;
)perl";
}

} // namespace EmpFilter
