<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja_JP" sourcelanguage="en">
<context>
    <name>Batch</name>
    <message>
        <source>%1 binary files skipped</source>
        <translation>バイナリファイル %1 個を飛ばしました</translation>
    </message>
    <message>
        <source>could not be searched (the expression is too complex for it): %1</source>
        <translation>検索できませんでした（正規表現がこのファイルには複雑すぎます）: %1</translation>
    </message>
    <message>
        <source>could not be read (%1): %2</source>
        <translation>読み込めませんでした（%1）: %2</translation>
    </message>
    <message>
        <source>%1 hits in %2 files</source>
        <translation>%2 ファイルに %1 件</translation>
    </message>
    <message>
        <source>could not write %1: %2</source>
        <translation>%1 を書き込めませんでした: %2</translation>
    </message>
    <message>
        <source>aborted</source>
        <translation>中止しました</translation>
    </message>
    <message>
        <source>%1 replacements in %2 files; %3 files left unchanged</source>
        <translation>%2 ファイルで %1 箇所を置換しました。%3 ファイルは変更していません</translation>
    </message>
    <message>
        <source>this replace cannot be undone: %1</source>
        <translation>この置換は元に戻せません: %1</translation>
    </message>
    <message>
        <source>trawlscope-batch: cannot read %1: %2</source>
        <translation>trawlscope-batch: %1 を読み込めません: %2</translation>
    </message>
    <message>
        <source>(standard input)</source>
        <translation>（標準入力）</translation>
    </message>
    <message>
        <source>the XPath does not compile (%1); .xml files are searched as plain text and never replaced</source>
        <translation>XPathに誤りがあります（%1）。.xml ファイルは通常のテキストとして検索し、置換しません</translation>
    </message>
    <message>
        <source>not found: %1</source>
        <translation>見つかりません: %1</translation>
    </message>
    <message>
        <source>trawlscope-batch: there is no replace to undo</source>
        <translation>trawlscope-batch: 元に戻す置換がありません</translation>
    </message>
    <message>
        <source>trawlscope-batch: the journal of the last replace is damaged or incomplete; nothing was restored (it is kept in %1)</source>
        <translation>trawlscope-batch: 直前の置換の記録が壊れているか不完全です。何も戻していません（記録は %1 に残してあります）</translation>
    </message>
    <message>
        <source>%1 files restored; %2 files left unchanged</source>
        <translation>%1 ファイルを元に戻しました。%2 ファイルはそのままです</translation>
    </message>
    <message>
        <source>neither HOME nor XDG_STATE_HOME is set, so there is no place for the undo journal</source>
        <translation>HOME も XDG_STATE_HOME も設定されていないため、取り消し用の記録を置く場所がありません</translation>
    </message>
    <message>
        <source>trawlscope-batch: nothing was changed: %1</source>
        <translation>trawlscope-batch: 何も変更しませんでした: %1</translation>
    </message>
    <message>
        <source>the originals of the %1 files left unchanged are still kept; --undo-beside puts them beside their files</source>
        <translation>そのままにした %1 ファイルの元の内容は引き続き保存されています。--undo-beside で各ファイルの隣に書き出せます</translation>
    </message>
    <message>
        <source>%1 originals put beside their files; %2 could not be written and are still kept</source>
        <translation>%1 個の元の内容を各ファイルの隣に書き出しました。%2 個は書き出せず、引き続き保存されています</translation>
    </message>
    <message>
        <source>could not be searched (%1): %2</source>
        <translation>検索できませんでした（%1）: %2</translation>
    </message>
    <message>
        <source>not searched (it is a FIFO): %1</source>
        <translation>検索しません（FIFO です）: %1</translation>
    </message>
    <message>
        <source>not searched (it is a socket): %1</source>
        <translation>検索しません（ソケットです）: %1</translation>
    </message>
    <message>
        <source>not searched (it is a device): %1</source>
        <translation>検索しません（デバイスです）: %1</translation>
    </message>
</context>
<context>
    <name>BatchHelp</name>
    <message>
        <source>Try &apos;trawlscope-batch --help&apos; for more information.
</source>
        <translation>詳しくは &apos;trawlscope-batch --help&apos; を見てください。
</translation>
    </message>
    <message>
        <source>
Searches text and XML files in any code page the way the Trawlscope window
does and prints one line per hit, or replaces every occurrence in place.

Options:
  --path TEXT       what to search: one bare path, or paths each in double
                    quotes, &apos;&quot;/data/docs&quot; &quot;/data/notes.txt&quot;&apos; (required)
  --types PATTERN   wildcard patterns that file names must fit, separated by
                    &apos;;&apos; (&apos;*.c;*.h&apos;); &apos;!&apos; before one leaves out what it names
                    (&apos;*.xml;!*.min.xml&apos;), &apos;/&apos; after one names folders at any
                    depth (&apos;!build/&apos;); every other subfolder is entered
                    (default: all files)
  --subfolders      search subfolders too
  --all-folders     enter version-control folders too (.git, .svn, .hg, .bzr,
                    CVS), which are left out without it
  --gitignore       leave out what git ignores: the .gitignore files of the
                    tree and of the folders above it in its repository, and
                    the repository&apos;s .git/info/exclude
  --min-size SIZE   leave out files smaller than SIZE bytes; k, M and G after
                    the number count in 1024s (10k, 5M, 1G); a compressed
                    file counts by its own size on disk
  --max-size SIZE   leave out files larger than SIZE
  --newer WHEN      leave out files last modified before WHEN: a date, or a
                    date and time, in ISO 8601 (2026-12-01, 2026-12-01T10:00,
                    2026-12-01T10:00:30+09:00), in local time unless an
                    offset or Z follows; or a time back from now in days or
                    hours (7d, 12h)
  --older WHEN      leave out files last modified at WHEN or after it; the
                    files named in --path itself are searched whatever
                    their size and time
  --regex           SEARCH-TEXT is a regular expression (Perl syntax)
  --case            upper and lower case differ
  --word            only occurrences that begin and end on word boundaries:
                    where a letter, digit or &apos;_&apos; meets anything else, and in
                    Japanese and Chinese where a dictionary cuts the words
  --no-compressed   do not look inside compressed files and archives (.gz,
                    .bz2, .xz, .zst, .lz4, .zip, .tar, .7z), which are
                    otherwise searched member by member and never replaced
  --xpath EXPR      in &quot;.xml&quot; files, search only the text of the nodes that
                    the XPath 1.0 expression selects
  --output FILE     also write the hits to FILE, UTF-16 LE with a byte-order
                    mark
  --encoding PAGE   read every file in this code page instead of detecting
                    each file&apos;s (a file that starts with a byte-order mark
                    is still read as its mark says); a number (932, 51932,
                    20866) or a name (Shift_JIS, EUC-JP, KOI8-R); a replace
                    writes each file back in the page it was read in
  --no-codepage-cache
                    detect every file&apos;s code page afresh instead of taking
                    the pages detected for unchanged files in earlier
                    searches (kept in $XDG_CACHE_HOME/trawlscope)
  --with-codepage   end each hit line with a TAB and the file&apos;s code page
                    number, which --only-hits reads back
  --format FORMAT   print each hit with every field: full path, line,
                    position, length, code page, left context, keyword and
                    right context, in UTF-8; tsv and csv start with a line
                    of field names (csv lines end with CR LF, tsv turns a
                    TAB or line break in a text field into U+3000); json
                    prints one object a line; PATH is escaped as below
  --context N, -C N
                    print N lines before and after each line with a hit,
                    as grep -n -H -C does: PATH:LINE:TEXT for a line with a
                    hit, PATH-LINE-TEXT for a line around one, and &quot;--&quot;
                    between groups that do not touch; lines are counted as
                    LINE is, TEXT is the line read in the file&apos;s code page,
                    in UTF-8; a member of a compressed file, and an &quot;.xml&quot;
                    file with --xpath, show only their hit lines, as far as
                    the hits&apos; contexts reach; not with --replace, --format
                    or --with-codepage
  --before-context N, -B N
                    the same, N lines before each hit line (it and
                    --after-context win over --context)
  --after-context N, -A N
                    the same, N lines after each hit line
  --files-with-hits print only the name of each file with hits, one a line
  --count           print each file with hits as PATH:N, N its hits (not its
                    lines: rg --count-matches, not grep -c)
  --null            with --files-with-hits or --count: each name as it is on
                    disk, ended by NUL instead of a line break or &quot;:&quot;, for
                    xargs -0 (grep -lZ, rg -l -0); each file is still read
                    to its end
  --quiet           print nothing on stdout and only trouble on stderr; stop
                    at the first hit and exit 0, even after trouble, as
                    grep -q does
  --replace TEXT    replace every occurrence with TEXT (with --regex, $&amp; is
                    the match and $1 the first group) and print each file&apos;s
                    outcome; each file keeps its code page
  --only-hits FILE  with --replace: replace only the occurrences listed in
                    FILE, lines as a search prints them (PATH TAB LINE TAB
                    POSITION TAB LENGTH; a KEYWORD field must still stand
                    there; a sixth field, when not empty, is the code page
                    to read that file in, as --with-codepage prints it;
                    further fields ignored); &quot;-&quot; reads standard input;
                    no --path, --types or --subfolders with it
  --write-through-links
                    with --replace: write through a symbolic link to the
                    file it names, wherever that is; without it a link is
                    left unchanged, and its file is replaced only where the
                    run meets it under its own name (a search reads through
                    links to files either way)
  --undo            put back the files of the last replace run that are still
                    as it left them
  --undo-beside     write each original the last --undo could not put back
                    beside its file, as NAME.original (nothing is overwritten)
  --undo-list       list the replace runs kept for --undo
  --codepages       print each file&apos;s detected code page instead of searching
  --help            print this help and exit
  --version         print the version and exit
  --                what follows is the search text, even if it starts with --
                    or is -A, -B or -C

Output, one line per hit or file on standard output:
  search       PATH TAB LINE TAB POSITION TAB LENGTH TAB KEYWORD; LINE counts
               from 1, POSITION from 0 in the file&apos;s text, POSITION and LENGTH
               in UTF-16 code units; then &quot;N hits in M files&quot; on stderr
  --output     FILE-NAME TAB LEFT-CONTEXT TAB KEYWORD TAB RIGHT-CONTEXT LF
  --replace    PATH TAB &quot;changed N&quot;, &quot;unchanged&quot; or &quot;left unchanged: REASON&quot;;
               then &quot;N replacements in M files; K files left unchanged&quot;
  --codepages  PATH TAB CODE-PAGE TAB BOM TAB NAME: 65001 UTF-8, 1200 UTF-16
               LE, 1201 UTF-16 BE, 932 Shift_JIS, 51932 EUC-JP and so on; BOM
               is 1 when the file starts with a byte-order mark, else 0; NAME
               is the page as the window names it, &quot;Shift_JIS (932)&quot;
  A member of an archive is named ARCHIVE//MEMBER, the archive&apos;s path, &quot;//&quot;
  and the member&apos;s path inside it; a compressed file&apos;s one member is named
  by the file&apos;s own path.
  In a PATH, each byte that is not UTF-8, each TAB and each line break is
  written \xHH (two hex digits), and a \ just before such an escape or
  before x and two hex digits is doubled, so that the name reads back
  exactly; --only-hits refuses an escape of a byte that prints as itself.
  Tabs and line breaks inside the other fields are shown as U+3000. Binary
  files are skipped; they, unreadable files and paths that name nothing or a
  FIFO, socket or device (never opened) are said on stderr, and so are the
  files and folders that the patterns, --gitignore, the version-control
  rule and the size and time bounds left out.

Replace runs kept for --undo live in $XDG_STATE_HOME/trawlscope/undo
(~/.local/state/trawlscope/undo); the settings file&apos;s section [Undo] sets
how many (Runs, default 10) and how much (MaxMegabytes, default 2048); the
folder must be the user&apos;s own with mode 0700. A replace says on stderr, before
it writes anything, when it cannot be undone.

Exit status, as grep&apos;s:
  0    something was found; a replace changed a file; --undo and
       --undo-beside put back every file
  1    the run completed and found nothing; a replace changed nothing;
       there is no replace to undo
  2    trouble, which wins over 0: a usage error, a search text that does not
       compile as an expression, an XPath that does not compile (the run
       still goes on, searching &quot;.xml&quot; files as plain text and replacing
       nothing in them), a part of Trawlscope that --gitignore or --xpath
       needs could not be loaded (nothing is searched), a path that names
       nothing that can be searched, a file that could not be read or
       searched, the --output file could not be written, a replace left a
       file that held the text unchanged or its undo journal is unusable, an
       undo left files as they are (their originals stay kept) or its record
       is damaged or its folder is not private
  130  interrupted by Ctrl-C, a hang-up or a kill (SIGINT, SIGHUP, SIGTERM)
</source>
        <translation>
テキストと XML のファイルを、どのコードページでも Trawlscope のウィンドウと
同じように検索し、見つかった箇所を 1 行ずつ表示します。または、すべての箇所を
その場で置換します。

オプション:
  --path TEXT       検索する場所: パスを 1 つそのまま、または二重引用符で囲んだ
                    パスを並べて &apos;&quot;/data/docs&quot; &quot;/data/notes.txt&quot;&apos;（必須）
  --types PATTERN   ファイル名が合うべきワイルドカードパターン。&apos;;&apos; で区切って
                    複数書ける（&apos;*.c;*.h&apos;）。前に &apos;!&apos; を付けるとそれに合うもの
                    を除き（&apos;*.xml;!*.min.xml&apos;）、後ろに &apos;/&apos; を付けるとどの
                    深さのフォルダー名にも合う（&apos;!build/&apos;）。ほかのサブフォルダー
                    にはすべて入る（既定: すべてのファイル）
  --subfolders      サブフォルダーも検索する
  --all-folders     バージョン管理フォルダー（.git、.svn、.hg、.bzr、CVS）にも
                    入る。指定しなければ除く
  --gitignore       git が無視するものを除く: ツリーと、リポジトリ内でその上に
                    あるフォルダーの .gitignore ファイル、およびリポジトリの
                    .git/info/exclude
  --min-size SIZE   SIZE バイトより小さいファイルを除く。数の後ろの k、M、G は
                    1024 単位で数える（10k、5M、1G）。圧縮ファイルはディスク上の
                    そのファイル自身の大きさで数える
  --max-size SIZE   SIZE より大きいファイルを除く
  --newer WHEN      最後の変更が WHEN より前のファイルを除く。WHEN は ISO 8601
                    の日付か日時（2026-12-01、2026-12-01T10:00、
                    2026-12-01T10:00:30+09:00）で、オフセットか Z が続かなければ
                    ローカル時刻。または今からさかのぼる日数か時間（7d、12h）
  --older WHEN      最後の変更が WHEN かそれ以降のファイルを除く。--path に
                    直接書いたファイルは、大きさや時刻にかかわらず検索する
  --regex           SEARCH-TEXT を正規表現（Perl 構文）として扱う
  --case            大文字と小文字を区別する
  --word            単語の境界で始まり単語の境界で終わる箇所だけを見つける。
                    境界は文字、数字、&apos;_&apos; とそれ以外が接する所と、日本語と
                    中国語では辞書が単語を分ける所
  --no-compressed   圧縮ファイルとアーカイブ（.gz、.bz2、.xz、.zst、.lz4、
                    .zip、.tar、.7z）の中を見ない。既定ではメンバーごとに
                    検索し、置換はしない
  --xpath EXPR      &quot;.xml&quot; ファイルでは、XPath 1.0 式が選ぶノードのテキスト
                    だけを検索する
  --output FILE     見つかった箇所を FILE にも書く（UTF-16 LE、バイト順マーク
                    付き）
  --encoding PAGE   各ファイルのコードページを判定せず、すべてこのページで読む
                    （バイト順マークで始まるファイルはマークのとおりに読む）。
                    番号（932、51932、20866）か名前（Shift_JIS、EUC-JP、
                    KOI8-R）。置換は各ファイルを読んだページで書き戻す
  --no-codepage-cache
                    前の検索で判定した変わっていないファイルのコードページを
                    キャッシュ（$XDG_CACHE_HOME/trawlscope に置く）から取らず、
                    各ファイルを改めて判定する
  --with-codepage   見つかった箇所の各行の末尾に TAB とファイルのコードページ
                    番号を付ける（--only-hits がそれを読む）
  --format FORMAT   見つかった箇所ごとに全欄を UTF-8 で表示する: フルパス、行、
                    位置、長さ、コードページ、左の文脈、キーワード、右の文脈。
                    tsv と csv は先頭に欄名の行を置く（csv の行末は CR LF、
                    tsv はテキストの欄の中のタブと改行を U+3000 にする）。
                    json は 1 行に 1 つのオブジェクトを表示する。PATH は下に
                    書くとおりエスケープする
  --context N, -C N
                    見つかった箇所のある行の前後 N 行も表示する（grep -n -H -C
                    と同じ形）: 箇所のある行は PATH:LINE:TEXT、その前後の行は
                    PATH-LINE-TEXT、つながらないまとまりの間には &quot;--&quot;。行は
                    LINE と同じに数え、TEXT はファイルのコードページで読んだ行を
                    UTF-8 で表す。圧縮ファイルのメンバーと、--xpath での
                    &quot;.xml&quot; ファイルは、箇所のある行だけを箇所の文脈が届く
                    範囲で表示する。--replace、--format、
                    --with-codepage とは併用しない
  --before-context N, -B N
                    同じく、箇所のある行の前の N 行（これと --after-context は
                    --context より優先する）
  --after-context N, -A N
                    同じく、箇所のある行の後の N 行
  --files-with-hits 見つかったファイルの名前だけを 1 行に 1 つ表示する
  --count           見つかったファイルごとに PATH:N を表示する。N は箇所の数
                    （行の数ではない。grep -c ではなく rg --count-matches と同じ）
  --null            --files-with-hits か --count と共に: 名前をディスク上のまま
                    表示し、改行や &quot;:&quot; の代わりに NUL で終える（xargs -0
                    向け。grep -lZ、rg -l -0 と同じ）。ファイルは最後まで読む
  --quiet           標準出力には何も表示せず、標準エラーには問題だけを表示する。
                    最初の箇所で止まり、問題があっても 0 で終了する（grep -q と
                    同じ）
  --replace TEXT    すべての箇所を TEXT で置換し（--regex では $&amp; がマッチ、
                    $1 が最初のグループ）、ファイルごとの結果を表示する。
                    各ファイルは元のコードページのまま
  --only-hits FILE  --replace と共に: FILE に並んだ箇所だけを置換する。行は
                    検索が表示する形（PATH TAB LINE TAB POSITION TAB LENGTH。
                    KEYWORD 欄があれば、その文字列がまだそこにあること。
                    6 番目の欄が空でなければ、そのファイルを読むコードページ
                    （--with-codepage が表示する形）。それ以降の欄は無視）。&quot;-&quot; は標準入力を読む。--path、
                    --types、--subfolders とは併用しない
  --write-through-links
                    --replace と共に: ファイルへのシンボリックリンクを通して、
                    それが指すファイルに書き込む（どこにあっても）。指定しな
                    ければリンクはそのままにし、そのファイルは実行がそれ自身の
                    名前で出会った所でだけ置換する（検索はどちらでもファイル
                    へのリンクを通して読む）
  --undo            直前の置換で変わったファイルのうち、その置換が残したままの
                    ものを元に戻す
  --undo-beside     直前の --undo で戻せなかった元の内容を、各ファイルの隣に
                    NAME.original として書き出す（上書きはしない）
  --undo-list       --undo のために保存している置換の一覧を表示する
  --codepages       検索せずに、各ファイルの判定したコードページを表示する
  --help            このヘルプを表示して終了する
  --version         バージョンを表示して終了する
  --                以降は -- で始まっていても検索文字列とみなす
                    （-A、-B、-C であっても）

出力（標準出力に、見つかった箇所かファイルごとに 1 行）:
  検索         PATH TAB LINE TAB POSITION TAB LENGTH TAB KEYWORD。LINE は 1 から、
               POSITION はファイルのテキストの 0 から数え、POSITION と LENGTH
               は UTF-16 コード単位。最後に件数を標準エラーに表示
  --output     FILE-NAME TAB LEFT-CONTEXT TAB KEYWORD TAB RIGHT-CONTEXT LF
  --replace    PATH TAB &quot;changed N&quot;、&quot;unchanged&quot; または &quot;left unchanged: 理由&quot;。
               最後に置換数とファイル数を標準エラーに表示
  --codepages  PATH TAB CODE-PAGE TAB BOM TAB NAME: 65001 UTF-8、1200 UTF-16
               LE、1201 UTF-16 BE、932 Shift_JIS、51932 EUC-JP など。ファイルが
               バイト順マークで始まれば BOM は 1、そうでなければ 0。NAME は
               ウィンドウと同じページの名前（&quot;Shift_JIS (932)&quot;）
  アーカイブのメンバーは ARCHIVE//MEMBER（アーカイブのパス、&quot;//&quot;、
  アーカイブの中でのメンバーのパス）で示します。圧縮ファイルのただ 1 つの
  メンバーは、そのファイル自身のパスで示します。
  PATH の中の UTF-8 でないバイトとタブと改行は \xHH（16 進 2 桁）と書き、
  そのようなエスケープの直前か、x と 16 進 2 桁の直前にある \ は二重にする
  ので、名前はそのとおりに読み戻せます。--only-hits は、そのまま表示される
  バイトのエスケープを受け付けません。
  ほかの欄の中のタブと改行は U+3000 で表示します。バイナリファイルは
  飛ばします。それらと、読めないファイル、何も指さないパスや FIFO、ソケット、
  デバイスを指すパス（開きません）、パターンや --gitignore、バージョン管理の
  規則、大きさと時刻の範囲で除いたファイルとフォルダーの数は標準エラーに
  表示します。

--undo のために保存する置換は $XDG_STATE_HOME/trawlscope/undo
（~/.local/state/trawlscope/undo）に置きます。設定ファイルの [Undo] セクションで
保存する数（Runs、既定 10）と量（MaxMegabytes、既定 2048）を決めます。
フォルダーはユーザー自身のもので、モード 0700 である必要があります。置換は、
元に戻せない場合、何かを書く前にそのことを標準エラーに表示します。

終了ステータス（grep と同じ）:
  0    見つかった、置換でファイルを変更した、--undo や --undo-beside で
       すべてのファイルを戻した
  1    実行は終わったが何も見つからなかった、置換で何も変更しなかった、
       元に戻す置換がない
  2    問題があった（0 より優先）: 使い方の誤り、正規表現として誤りのある
       検索文字列、誤りのある XPath（その場合も実行は続き、&quot;.xml&quot; ファイル
       は通常のテキストとして検索し、置換はしない）、--gitignore か --xpath
       に要る Trawlscope の部品を読み込めなかった（何も検索しない）、
       検索できるものを指さないパス、読めなかったか検索できなかったファイル、
       --output のファイルを書けなかった、置換で文字列を含むファイルを
       そのままにしたか取り消し用の記録が使えない、元に戻す操作でそのままに
       したファイルがある（元の内容は保存したまま）か記録が壊れているか
       フォルダーが非公開でない
  130  Ctrl-C、回線の切断、終了の要求（SIGINT、SIGHUP、SIGTERM）で中断した
</translation>
    </message>
</context>
<context>
    <name>BoundsFields</name>
    <message>
        <source>Size, at least</source>
        <translation>サイズ (以上)</translation>
    </message>
    <message>
        <source>Size, at most</source>
        <translation>サイズ (以下)</translation>
    </message>
    <message>
        <source>Modified, after</source>
        <translation>更新日時 (以降)</translation>
    </message>
    <message>
        <source>Modified, before</source>
        <translation>更新日時 (より前)</translation>
    </message>
    <message>
        <source>&quot;%1&quot; takes a number of bytes, or one with k, M or G after it: 4096, 10k, 5M, 1G.</source>
        <translation>「%1」にはバイト数か、k、M、G を付けた数を入力してください: 4096、10k、5M、1G。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; takes a date in local time, 2026-12-01 or 2026-12-01 10:00, or a number of days or hours back: 7d, 12h.</source>
        <translation>「%1」には現地時刻の日付 (2026-12-01、2026-12-01 10:00) か、さかのぼる日数・時間数 (7d、12h) を入力してください。</translation>
    </message>
    <message>
        <source>&quot;%1&quot; leaves out every file: no size or time lies between it and the other bound of its row.</source>
        <translation>「%1」ではすべてのファイルが除外されます: 同じ行のもう一方の値との間に入るサイズや日時がありません。</translation>
    </message>
</context>
<context>
    <name>CodePageTexts</name>
    <message>
        <source>&apos;%1&apos; cannot be written in %2 of the %3 (%4): they will be left unchanged.</source>
        <translation>「%1」は %3 のうち %2 件（%4）では書けません。それらのファイルは変更しません。</translation>
    </message>
    <message>
        <source>%1 file had bytes its code page could not read.</source>
        <translation>%1 ファイルに、そのコードページで読めないバイトがありました。</translation>
    </message>
    <message>
        <source>%1 files had bytes their code page could not read.</source>
        <translation>%1 ファイルに、そのコードページで読めないバイトがありました。</translation>
    </message>
    <message>
        <source>, BOM</source>
        <translation>、BOM</translation>
    </message>
    <message>
        <source>%1 of the %2 are inside compressed files, which are only read: they will be left unchanged.</source>
        <translation>%2 のうち %1 件は圧縮ファイルの中にあり、読むだけです。それらは変更しません。</translation>
    </message>
</context>
<context>
    <name>Counts</name>
    <message>
        <source>%1 file</source>
        <translation>%1 ファイル</translation>
    </message>
    <message>
        <source>%1 files</source>
        <translation>%1 ファイル</translation>
    </message>
    <message>
        <source>%1 occurrence</source>
        <translation>%1 箇所</translation>
    </message>
    <message>
        <source>%1 occurrences</source>
        <translation>%1 箇所</translation>
    </message>
    <message>
        <source>%1 folder</source>
        <translation>%1 フォルダー</translation>
    </message>
    <message>
        <source>%1 folders</source>
        <translation>%1 フォルダー</translation>
    </message>
    <message>
        <source>Left out: %1.</source>
        <translation>除外: %1。</translation>
    </message>
    <message>
        <source>%1, %2</source>
        <translation>%1、%2</translation>
    </message>
</context>
<context>
    <name>Messages</name>
    <message>
        <source>Can&apos;t select folder path.</source>
        <translation>フォルダーのパスを選択できません。</translation>
    </message>
    <message>
        <source>The search could not be started.</source>
        <translation>検索を開始できませんでした。</translation>
    </message>
    <message>
        <source>The following files could not be changed.</source>
        <translation>次のファイルは変更できませんでした。</translation>
    </message>
    <message>
        <source>The output file could not be written.</source>
        <translation>出力ファイルを書き込めませんでした。</translation>
    </message>
    <message>
        <source>The following paths were not found.</source>
        <translation>次のパスは見つかりませんでした。</translation>
    </message>
    <message>
        <source>Search only the paths that were found?</source>
        <translation>見つかったパスだけを検索しますか？</translation>
    </message>
    <message>
        <source>The regular expression has an error.</source>
        <translation>正規表現に誤りがあります。</translation>
    </message>
    <message>
        <source>The XPath has an error.</source>
        <translation>XPathに誤りがあります。</translation>
    </message>
    <message>
        <source>A part of Trawlscope that this search needs could not be loaded, so nothing was searched.</source>
        <translation>この検索に必要な Trawlscope の部品を読み込めなかったため、何も検索していません。</translation>
    </message>
    <message>
        <source>The following files could not be read.</source>
        <translation>次のファイルは読み込めませんでした。</translation>
    </message>
    <message>
        <source>The following files could not be searched with the regular expression.</source>
        <translation>次のファイルは正規表現で検索できませんでした。</translation>
    </message>
    <message>
        <source>Type the folders or files to search in &quot;Search path&quot;, or pick them with &quot;...&quot;.</source>
        <translation>検索するフォルダーかファイルを「検索場所」に入力するか、「...」で選んでください。</translation>
    </message>
    <message>
        <source>Type what to search for in &quot;Search for&quot;.</source>
        <translation>検索する文字列を「検索文字列」に入力してください。</translation>
    </message>
    <message>
        <source>Stopped after %1 of %2 files; %3 found.

Show what was found so far?</source>
        <translation>%2 ファイルのうち %1 ファイルで中止しました。%3が見つかっています。

ここまでに見つかったものを表示しますか?</translation>
    </message>
    <message>
        <source>Stopped early: only part of the files was searched.</source>
        <translation>途中で中止: ファイルの一部だけを検索しました。</translation>
    </message>
    <message>
        <source>Its subfolders were not searched: &quot;Include subfolders&quot; is off.</source>
        <translation>サブフォルダーは検索していません:「サブフォルダーも検索」がオフです。</translation>
    </message>
    <message>
        <source>The following compressed files or members of archives could not be searched.</source>
        <translation>次の圧縮ファイルまたはアーカイブのメンバーを検索できませんでした。</translation>
    </message>
    <message>
        <source>The following paths are neither files nor folders and were not searched.</source>
        <translation>次のパスはファイルでもフォルダーでもないため、検索しませんでした。</translation>
    </message>
    <message>
        <source>a FIFO (named pipe)</source>
        <translation>FIFO（名前付きパイプ）</translation>
    </message>
    <message>
        <source>a socket</source>
        <translation>ソケット</translation>
    </message>
    <message>
        <source>a device</source>
        <translation>デバイス</translation>
    </message>
    <message>
        <source>Searching again was stopped: the list is the one from before.</source>
        <translation>再検索を中止しました: 一覧は前のままです。</translation>
    </message>
</context>
<context>
    <name>Outcome</name>
    <message>
        <source>cannot read</source>
        <translation>読み込めません</translation>
    </message>
    <message>
        <source>cannot find it</source>
        <translation>見つかりません</translation>
    </message>
    <message>
        <source>cannot open it</source>
        <translation>開けません</translation>
    </message>
    <message>
        <source>cannot open it for writing</source>
        <translation>書き込み用に開けません</translation>
    </message>
    <message>
        <source>cannot create a file in its folder</source>
        <translation>そのフォルダーにファイルを作成できません</translation>
    </message>
    <message>
        <source>writing failed</source>
        <translation>書き込みに失敗しました</translation>
    </message>
    <message>
        <source>cannot make room for it</source>
        <translation>領域を確保できません</translation>
    </message>
    <message>
        <source>writing it in place failed</source>
        <translation>その場での書き込みに失敗しました</translation>
    </message>
    <message>
        <source>cannot give it its permissions</source>
        <translation>アクセス権を設定できません</translation>
    </message>
    <message>
        <source>saving failed</source>
        <translation>保存に失敗しました</translation>
    </message>
    <message>
        <source>the text cannot be written in its code page</source>
        <translation>テキストをそのコードページで書き表せません</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>ディスクがいっぱいです</translation>
    </message>
    <message>
        <source>the file is read-only</source>
        <translation>ファイルは読み取り専用です</translation>
    </message>
    <message>
        <source>it is not a regular file</source>
        <translation>通常のファイルではありません</translation>
    </message>
    <message>
        <source>it changed since it was read</source>
        <translation>読み込んだ後に変更されました</translation>
    </message>
    <message>
        <source>changed during the write</source>
        <translation>書き込み中に変更されました</translation>
    </message>
    <message>
        <source>changed during the write, and the old content could not be put back: %1</source>
        <translation>書き込み中に変更され、元の内容に戻せませんでした: %1</translation>
    </message>
    <message>
        <source>it kept changing</source>
        <translation>変更が続きました</translation>
    </message>
    <message>
        <source>the expression cannot be compiled</source>
        <translation>式をコンパイルできません</translation>
    </message>
    <message>
        <source>%1 at character %2 of %3</source>
        <translation>%1 (%3 の %2 文字目)</translation>
    </message>
    <message>
        <source>the run was aborted before the file was changed</source>
        <translation>ファイルを変更する前に実行が中止されました</translation>
    </message>
    <message>
        <source>the expression is too complex for this file</source>
        <translation>このファイルには式が複雑すぎます</translation>
    </message>
    <message>
        <source>the replacement cannot be written in the file&apos;s code page, %1</source>
        <translation>置換後の文字列をファイルのコードページ %1 で書き表せません</translation>
    </message>
    <message>
        <source>the file&apos;s code page, %1, cannot hold %2</source>
        <translation>ファイルのコードページ %1 では %2 を書き表せません</translation>
    </message>
    <message>
        <source>its encoding cannot be rewritten without changing other bytes</source>
        <translation>このエンコーディングでは他のバイトを変えずに書き換えられません</translation>
    </message>
    <message>
        <source>an occurrence does not begin or end on a character of the file</source>
        <translation>該当箇所の始まりか終わりがファイルの文字の境目にありません</translation>
    </message>
    <message>
        <source>the change cannot be placed in the file&apos;s bytes with certainty</source>
        <translation>変更をファイルのバイト列の正しい位置に確実に置けません</translation>
    </message>
    <message>
        <source>an occurrence begins or ends inside a character reference</source>
        <translation>該当箇所が文字参照の途中で始まるか終わります</translation>
    </message>
    <message>
        <source>the replacement cannot stand in a CDATA section</source>
        <translation>置換後の文字列は CDATA セクションに置けません</translation>
    </message>
    <message>
        <source>an occurrence is in an attribute value, which is not changed</source>
        <translation>該当箇所が属性値の中にあります（属性値は変更しません）</translation>
    </message>
    <message>
        <source>an occurrence is in text that uses the document&apos;s own entities</source>
        <translation>該当箇所が文書独自の実体を使うテキストの中にあります</translation>
    </message>
    <message>
        <source>the document&apos;s encoding is not known</source>
        <translation>文書のエンコーディングが分かりません</translation>
    </message>
    <message>
        <source>an occurrence spans a child element&apos;s boundary</source>
        <translation>該当箇所が子要素の境界をまたいでいます</translation>
    </message>
    <message>
        <source>the selected nodes&apos; occurrences overlap</source>
        <translation>選択したノードの該当箇所が重なっています</translation>
    </message>
    <message>
        <source>the XPath does not compile</source>
        <translation>XPathに誤りがあります</translation>
    </message>
    <message>
        <source>the XPath cannot be evaluated in it</source>
        <translation>このファイルでは XPath を評価できません</translation>
    </message>
    <message>
        <source>it changed since the search</source>
        <translation>検索の後に変更されました</translation>
    </message>
    <message>
        <source>a chosen occurrence is no longer there as the search found it</source>
        <translation>選んだ該当箇所が検索したときのままではなくなっています</translation>
    </message>
    <message>
        <source>the chosen occurrences overlap</source>
        <translation>選んだ該当箇所が重なっています</translation>
    </message>
    <message>
        <source>its original could not be kept for undo: %1</source>
        <translation>元に戻すための元のファイルを保存できませんでした: %1</translation>
    </message>
    <message>
        <source>it changed since the replace</source>
        <translation>置換の後に変更されました</translation>
    </message>
    <message>
        <source>it is no longer there</source>
        <translation>もうありません</translation>
    </message>
    <message>
        <source>%1 bytes</source>
        <translation>%1 バイト</translation>
    </message>
    <message>
        <source>%1 KB</source>
        <translation>%1 KB</translation>
    </message>
    <message>
        <source>%1 MB</source>
        <translation>%1 MB</translation>
    </message>
    <message>
        <source>cannot be undone</source>
        <translation>元に戻せません</translation>
    </message>
    <message>
        <source>can be undone</source>
        <translation>元に戻せます</translation>
    </message>
    <message>
        <source>the original files (%1) would not fit in the undo journal (%2)</source>
        <translation>元のファイル (%1) が取り消し用の記録の上限 (%2) に収まりません</translation>
    </message>
    <message>
        <source>the original files (%1) would not fit on the undo journal&apos;s disk (%2 free)</source>
        <translation>元のファイル (%1) が取り消し用の記録のディスク (空き %2) に収まりません</translation>
    </message>
    <message>
        <source>the undo journal is turned off</source>
        <translation>取り消し用の記録がオフになっています</translation>
    </message>
    <message>
        <source>its owner and group cannot be kept</source>
        <translation>所有者とグループを保てません</translation>
    </message>
    <message>
        <source>its original would not fit in the undo journal&apos;s limit ([Undo] MaxMegabytes)</source>
        <translation>元の内容が取り消し用の記録の上限 ([Undo] MaxMegabytes) に収まりません</translation>
    </message>
    <message>
        <source>the undo journal&apos;s place %1 is not a folder</source>
        <translation>取り消し用の記録の場所 %1 がフォルダーではありません</translation>
    </message>
    <message>
        <source>the undo journal&apos;s folder %1 belongs to another user</source>
        <translation>取り消し用の記録のフォルダー %1 は別のユーザーのものです</translation>
    </message>
    <message>
        <source>the undo journal&apos;s folder %1 is open to other users (it must have mode 0700)</source>
        <translation>取り消し用の記録のフォルダー %1 が他のユーザーに開かれています (モード 0700 である必要があります)</translation>
    </message>
    <message>
        <source>the folder %1 above the undo journal belongs to another user</source>
        <translation>取り消し用の記録の上にあるフォルダー %1 は別のユーザーのものです</translation>
    </message>
    <message>
        <source>the folder %1 above the undo journal may be changed by other users</source>
        <translation>取り消し用の記録の上にあるフォルダー %1 は他のユーザーが変更できます</translation>
    </message>
    <message>
        <source>the undo journal&apos;s folder %1 cannot be made: %2</source>
        <translation>取り消し用の記録のフォルダー %1 を作成できません: %2</translation>
    </message>
    <message>
        <source>compressed: read-only</source>
        <translation>圧縮ファイル: 読み取り専用</translation>
    </message>
    <message>
        <source>damaged</source>
        <translation>壊れています</translation>
    </message>
    <message>
        <source>damaged: %1</source>
        <translation>壊れています: %1</translation>
    </message>
    <message>
        <source>encrypted: it needs a passphrase</source>
        <translation>暗号化されています: パスフレーズが必要です</translation>
    </message>
    <message>
        <source>expands past %1, so neither it nor what follows it was searched</source>
        <translation>展開すると %1 を超えるため、これとそれ以降は検索していません</translation>
    </message>
    <message>
        <source>the part of Trawlscope that reads compressed files could not be loaded: %1</source>
        <translation>圧縮ファイルを読む Trawlscope の部品を読み込めませんでした: %1</translation>
    </message>
    <message>
        <source>it is a symbolic link, which a replace does not write through</source>
        <translation>シンボリックリンクで、置換はリンクの先に書き込まない</translation>
    </message>
    <message>
        <source>writing it would clear its set-user-ID or set-group-ID bit</source>
        <translation>書き込むとセットユーザー ID かセットグループ ID のビットが消える</translation>
    </message>
    <message>
        <source>damaged: read-only</source>
        <translation>壊れている: 読み取り専用</translation>
    </message>
    <message>
        <source>a link to %1: an archive&apos;s links are not followed</source>
        <translation>%1 へのリンク: アーカイブの中のリンクはたどらない</translation>
    </message>
    <message>
        <source>cannot make the folder</source>
        <translation>フォルダーを作れない</translation>
    </message>
    <message>
        <source>cannot take the lock</source>
        <translation>ロックを取れない</translation>
    </message>
    <message>
        <source>cannot read the folder</source>
        <translation>フォルダーを読めない</translation>
    </message>
    <message>
        <source>cannot load it</source>
        <translation>読み込めない</translation>
    </message>
    <message>
        <source>%1 was built for another version of Trawlscope</source>
        <translation>%1 は別の版の Trawlscope 用に作られている</translation>
    </message>
</context>
<context>
    <name>Progress</name>
    <message>
        <source>Making a list of files...</source>
        <translation>ファイルの一覧を作成しています...</translation>
    </message>
    <message>
        <source>Searching...</source>
        <translation>検索しています...</translation>
    </message>
    <message>
        <source>Replacing...</source>
        <translation>置換しています...</translation>
    </message>
    <message>
        <source>Hits:</source>
        <translation>該当箇所:</translation>
    </message>
    <message>
        <source>Files changed:</source>
        <translation>変更したファイル:</translation>
    </message>
</context>
<context>
    <name>QtPathChooser</name>
    <message>
        <source>Select file(s)</source>
        <translation>ファイルを選択</translation>
    </message>
    <message>
        <source>Select folder</source>
        <translation>フォルダーを選択</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>出力</translation>
    </message>
    <message>
        <source>UTF-8 CSV with full paths and a header (*.csv)</source>
        <translation>UTF-8 の CSV、フルパスと見出し行付き (*.csv)</translation>
    </message>
    <message>
        <source>UTF-16 tab-separated, file names only (*.tsv *.dat *.txt)</source>
        <translation>UTF-16 のタブ区切り、ファイル名のみ (*.tsv *.dat *.txt)</translation>
    </message>
</context>
<context>
    <name>RunReport</name>
    <message>
        <source>No file was changed.</source>
        <translation>変更したファイルはありません。</translation>
    </message>
    <message>
        <source>Replaced %1 in %2.</source>
        <translation>%2の %1を置換しました。</translation>
    </message>
    <message>
        <source>The replace was stopped before it went through every file.</source>
        <translation>すべてのファイルを処理する前に置換を中止しました。</translation>
    </message>
    <message>
        <source>This replace %1.</source>
        <translation>この置換は%1。</translation>
    </message>
    <message>
        <source>selected %1 in %2</source>
        <translation>%2の選択した %1</translation>
    </message>
    <message>
        <source>%1 in %2</source>
        <translation>%2の %1</translation>
    </message>
    <message>
        <source>Delete the %1 (the replacement is empty)?</source>
        <translation>%1を削除しますか？（置換後の文字列が空です）</translation>
    </message>
    <message>
        <source>Replace the %1 with &quot;%2&quot;?</source>
        <translation>%1を「%2」に置換しますか？</translation>
    </message>
    <message>
        <source>Each file is checked first: one changed since the search is left as it is.</source>
        <translation>各ファイルをまず確認し、検索の後に変更されたファイルはそのままにします。</translation>
    </message>
    <message>
        <source>Every file is searched again and changed in place.</source>
        <translation>各ファイルをもう一度検索し、その場で変更します。</translation>
    </message>
    <message>
        <source>It can be undone afterwards (&quot;Undo last replace&quot;).</source>
        <translation>後で元に戻せます（「直前の置換を元に戻す」）。</translation>
    </message>
    <message>
        <source>This cannot be undone: %1.</source>
        <translation>この置換は元に戻せません: %1。</translation>
    </message>
    <message>
        <source>%1 files searched.</source>
        <translation>%1 ファイルを検索しました。</translation>
    </message>
    <message>
        <source>%1 binary files skipped.</source>
        <translation>バイナリファイル %1 個を飛ばしました。</translation>
    </message>
    <message>
        <source>%1 files could not be read.</source>
        <translation>%1 ファイルを読み込めませんでした。</translation>
    </message>
    <message>
        <source>%1 file searched.</source>
        <translation>%1 ファイルを検索しました。</translation>
    </message>
    <message>
        <source>%1 binary file skipped.</source>
        <translation>バイナリファイル %1 個を飛ばしました。</translation>
    </message>
    <message>
        <source>%1 file could not be read.</source>
        <translation>%1 ファイルを読み込めませんでした。</translation>
    </message>
    <message>
        <source>Written in %1.</source>
        <translation>書き込んだコードページ: %1。</translation>
    </message>
    <message>
        <source>%1 compressed file or member could not be searched.</source>
        <translation>%1 個の圧縮ファイルまたはメンバーを検索できませんでした。</translation>
    </message>
    <message>
        <source>%1 compressed files or members could not be searched.</source>
        <translation>%1 個の圧縮ファイルまたはメンバーを検索できませんでした。</translation>
    </message>
    <message>
        <source>This list is partial: its search was stopped, and only what it found is replaced.</source>
        <translation>この一覧は一部だけです: 検索が中止されたため、見つかった箇所だけを置換します。</translation>
    </message>
    <message>
        <source>Not searched: %1, the first of them:</source>
        <translation>検索していないもの: %1、その最初:</translation>
    </message>
    <message>
        <source>Not searched: %1:</source>
        <translation>検索していないもの: %1:</translation>
    </message>
    <message>
        <source>Nor the files not yet listed when it stopped.</source>
        <translation>中止の時点でまだ列挙されていなかったファイルも検索していません。</translation>
    </message>
</context>
<context>
    <name>SearchDialog</name>
    <message>
        <source>Code pages: %1.</source>
        <translation>コードページ: %1。</translation>
    </message>
</context>
<context>
    <name>Undo</name>
    <message>
        <source>There is no replace to undo.</source>
        <translation>元に戻す置換はありません。</translation>
    </message>
    <message>
        <source>The record of the last replace is damaged or incomplete, so it cannot be undone.</source>
        <translation>前回の置換の記録が壊れているか不完全なため、元に戻せません。</translation>
    </message>
    <message>
        <source>Undo the replace of %1 (&quot;%2&quot; with &quot;%3&quot;, %4)?

Each file gets its content from before the replace back, unless it has changed since.</source>
        <translation>%1 の置換（「%2」を「%3」に、%4）を元に戻しますか？

各ファイルを置換前の内容に戻します。ただし、置換の後に変更されたファイルはそのままにします。</translation>
    </message>
    <message>
        <source>The record of the last replace is damaged or incomplete: no file was touched.
It is kept in %1</source>
        <translation>前回の置換の記録が壊れているか不完全です。どのファイルも変更していません。
記録は次の場所に残してあります: %1</translation>
    </message>
    <message>
        <source>Put back %1.</source>
        <translation>%1を元に戻しました。</translation>
    </message>
    <message>
        <source>These files were left as they are:</source>
        <translation>次のファイルはそのままにしました:</translation>
    </message>
    <message>
        <source>Their originals are still kept with the replace.</source>
        <translation>これらのファイルの元の内容は、置換の記録に引き続き保存されています。</translation>
    </message>
    <message>
        <source>Put the kept originals of %1 beside them, each as a new file named after it with &quot;.original&quot;? Nothing is overwritten.</source>
        <translation>保存されている %1の元の内容を、それぞれ名前に「.original」を付けた新しいファイルとして隣に書き出しますか? 既存のファイルは上書きしません。</translation>
    </message>
    <message>
        <source>Wrote the originals of %1 beside them:</source>
        <translation>%1の元の内容を隣に書き出しました:</translation>
    </message>
    <message>
        <source>These originals could not be written and are still kept:</source>
        <translation>次の元の内容は書き出せず、引き続き保存されています:</translation>
    </message>
</context>
<context>
    <name>trawlscope::KwicDelegate</name>
    <message>
        <source>What replaces this occurrence depends on text beyond the context shown here
(a look-ahead, a look-behind, or a format that copies the text around the match).
The replace works it out from the whole file.</source>
        <translation>この箇所が何に置き換わるかは、ここに表示されている前後の文字より先の内容で決まります
（先読み・後読み、またはマッチの前後の文字を写す書式）。
置換ではファイル全体から求めます。</translation>
    </message>
</context>
<context>
    <name>trawlscope::KwicListView</name>
    <message>
        <source>&amp;Open</source>
        <translation>開く(&amp;O)</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>コピー(&amp;C)</translation>
    </message>
    <message>
        <source>Copy full &amp;path</source>
        <translation>フルパスをコピー(&amp;P)</translation>
    </message>
    <message>
        <source>Open containing &amp;folder</source>
        <translation>ファイルの場所を開く(&amp;F)</translation>
    </message>
    <message>
        <source>&amp;Replace selected...</source>
        <translation>選択した箇所を置換(&amp;R)...</translation>
    </message>
    <message>
        <source>No file manager could show the folder:</source>
        <translation>フォルダーを表示できるファイルマネージャーがありません:</translation>
    </message>
    <message>
        <source>Read this file &amp;as</source>
        <translation>このファイルを別のコードページで読む(&amp;A)</translation>
    </message>
    <message>
        <source>&amp;Other...</source>
        <translation>その他(&amp;O)...</translation>
    </message>
    <message>
        <source>Read the file in this code page:</source>
        <translation>ファイルを読むコードページ:</translation>
    </message>
    <message>
        <source>&amp;Forget the pages chosen</source>
        <translation>選んだコードページを取り消す(&amp;F)</translation>
    </message>
</context>
<context>
    <name>trawlscope::KwicModel</name>
    <message>
        <source>Left Context</source>
        <translation>前文脈</translation>
    </message>
    <message>
        <source>Keyword and Right Context</source>
        <translation>キーワードと後文脈</translation>
    </message>
    <message>
        <source>Filename</source>
        <translation>ファイル名</translation>
    </message>
    <message>
        <source>Line</source>
        <translation>行</translation>
    </message>
    <message>
        <source>Line %1</source>
        <translation>%1 行目</translation>
    </message>
    <message>
        <source>Code page %1</source>
        <translation>コードページ %1</translation>
    </message>
    <message>
        <source>%1, line %2: %3</source>
        <translation>%1、%2 行目: %3</translation>
    </message>
    <message>
        <source>Code page</source>
        <translation>コードページ</translation>
    </message>
    <message>
        <source>%1 (bytes not read)</source>
        <translation>%1（読めないバイトあり）</translation>
    </message>
    <message>
        <source>Some bytes of this file are not text in this code page: it may be another.
&quot;Read this file as&quot; in the row&apos;s menu reads it in the one you choose.</source>
        <translation>このファイルには、このコードページの文字にならないバイトがあります。別のコードページかもしれません。
行のメニューの「このファイルを別のコードページで読む」で、選んだページで読み直せます。</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>フォルダー</translation>
    </message>
    <message>
        <source>Hits in this file: %1</source>
        <translation>このファイルのヒット数: %1</translation>
    </message>
</context>
<context>
    <name>trawlscope::ProgressDialogWidget</name>
    <message>
        <source>Abort</source>
        <translation>中止</translation>
    </message>
</context>
<context>
    <name>trawlscope::ResultDialogWidget</name>
    <message>
        <source>%1 found.</source>
        <translation>%1 件見つかりました。</translation>
    </message>
    <message>
        <source>Trawlscope - Result</source>
        <translation>Trawlscope - 検索結果</translation>
    </message>
    <message>
        <source>Replace &amp;with:</source>
        <translation>置換後の文字列(&amp;W):</translation>
    </message>
    <message>
        <source>&amp;Output</source>
        <translation>出力(&amp;O)</translation>
    </message>
    <message>
        <source>R&amp;eplace</source>
        <translation>置換(&amp;E)</translation>
    </message>
    <message>
        <source>Replace &amp;selected</source>
        <translation>選択箇所を置換(&amp;S)</translation>
    </message>
    <message>
        <source>No program of this desktop opens %1; what it holds can only be searched here.</source>
        <translation>このデスクトップには %1 を開くプログラムがありません。中身はここで検索することしかできません。</translation>
    </message>
    <message>
        <source>F&amp;ilter:</source>
        <translation>絞り込み(&amp;I):</translation>
    </message>
    <message>
        <source>E&amp;xpression</source>
        <translation>正規表現(&amp;X)</translation>
    </message>
    <message>
        <source>Search &amp;again</source>
        <translation>再検索(&amp;A)</translation>
    </message>
    <message>
        <source>Shows only the rows whose path, context or keyword holds this text (case ignored)</source>
        <translation>パス、前後の文脈、キーワードのいずれかにこの文字列を含む行だけを表示します (大文字と小文字は区別しません)</translation>
    </message>
    <message>
        <source>Runs the same search again (F5)</source>
        <translation>同じ検索をもう一度実行します (F5)</translation>
    </message>
    <message>
        <source>%1 of %2 shown.</source>
        <translation>%2 件中 %1 件を表示。</translation>
    </message>
    <message>
        <source>The filter&apos;s expression is not valid.</source>
        <translation>絞り込みの正規表現が正しくありません。</translation>
    </message>
    <message>
        <source>Filtering...</source>
        <translation>絞り込み中...</translation>
    </message>
    <message>
        <source>Sorting...</source>
        <translation>並べ替え中...</translation>
    </message>
    <message>
        <source>Results</source>
        <translation>検索結果</translation>
    </message>
    <message>
        <source>Searching again...</source>
        <translation>再検索中...</translation>
    </message>
    <message>
        <source>Trawlscope - Result (searching again)</source>
        <translation>Trawlscope - 検索結果 (再検索中)</translation>
    </message>
</context>
<context>
    <name>trawlscope::SearchDialogWidget</name>
    <message>
        <source>&amp;Undo</source>
        <translation>元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>&amp;Regular expression</source>
        <translation>正規表現(&amp;R)</translation>
    </message>
    <message>
        <source>&amp;Case sensitive</source>
        <translation>大文字と小文字を区別(&amp;C)</translation>
    </message>
    <message>
        <source>&amp;Include subfolders</source>
        <translation>サブフォルダーも検索(&amp;I)</translation>
    </message>
    <message>
        <source>&amp;Search</source>
        <translation>検索(&amp;S)</translation>
    </message>
    <message>
        <source>&amp;Undo last replace</source>
        <translation>直前の置換を元に戻す(&amp;U)</translation>
    </message>
    <message>
        <source>Puts back the files the last replace changed, if they are still as it left them</source>
        <translation>直前の置換で変更したファイルを、置換したときのままであれば元に戻します</translation>
    </message>
    <message>
        <source>File</source>
        <translation>ファイル</translation>
    </message>
    <message>
        <source>Folder</source>
        <translation>フォルダー</translation>
    </message>
    <message>
        <source>Search p&amp;ath:</source>
        <translation>検索場所(&amp;A):</translation>
    </message>
    <message>
        <source>File &amp;types:</source>
        <translation>ファイルの種類(&amp;T):</translation>
    </message>
    <message>
        <source>&amp;XPath:</source>
        <translation>&amp;XPath:</translation>
    </message>
    <message>
        <source>Search &amp;for:</source>
        <translation>検索文字列(&amp;F):</translation>
    </message>
    <message>
        <source>Rea&amp;d files as:</source>
        <translation>コードページ(&amp;D):</translation>
    </message>
    <message>
        <source>Automatic</source>
        <translation>自動</translation>
    </message>
    <message>
        <source>Automatic detects each file&apos;s code page. Any other choice reads every file in it,
but for a file that starts with a byte-order mark; a replace writes each file back
in the page it was read in.</source>
        <translation>「自動」は各ファイルのコードページを判定します。ほかを選ぶと、バイト順マークで始まる
ファイルを除き、すべてのファイルをそのページで読みます。置換は各ファイルを
読んだページで書き戻します。</translation>
    </message>
    <message>
        <source>Search c&amp;ompressed files</source>
        <translation>圧縮ファイルも検索(&amp;O)</translation>
    </message>
    <message>
        <source>Wildcard patterns for file names, separated by &quot;;&quot;: *.c;*.h
&quot;!&quot; before a pattern leaves out what it names: *.xml;!*.min.xml
&quot;/&quot; after a pattern names folders, at any depth: !build/;!node_modules/</source>
        <translation>ファイル名のワイルドカードパターン。「;」で区切って複数書けます: *.c;*.h
パターンの前の「!」は、それに合うものを除きます: *.xml;!*.min.xml
パターンの後ろの「/」は、どの深さのフォルダーにも合います: !build/;!node_modules/</translation>
    </message>
    <message>
        <source>Whole &amp;word</source>
        <translation>単語単位(&amp;W)</translation>
    </message>
    <message>
        <source>Only occurrences that begin and end on word boundaries, also between the words of Japanese and Chinese text</source>
        <translation>単語の境界で始まり単語の境界で終わる箇所だけを見つけます。日本語と中国語の文も単語に分けます</translation>
    </message>
    <message>
        <source>Skip &amp;version-control folders</source>
        <translation>バージョン管理フォルダーを除く(&amp;V)</translation>
    </message>
    <message>
        <source>Leaves out .git, .svn, .hg, .bzr and CVS</source>
        <translation>.git、.svn、.hg、.bzr、CVS を除きます</translation>
    </message>
    <message>
        <source>Follow .&amp;gitignore</source>
        <translation>.gitignore に従う(&amp;G)</translation>
    </message>
    <message>
        <source>Leaves out what git ignores: .gitignore files and .git/info/exclude</source>
        <translation>git が無視するものを除きます: .gitignore ファイルと .git/info/exclude</translation>
    </message>
    <message>
        <source>Si&amp;ze:</source>
        <translation>サイズ(&amp;Z):</translation>
    </message>
    <message>
        <source>&amp;Modified:</source>
        <translation>更新日時(&amp;M):</translation>
    </message>
    <message>
        <source>at least</source>
        <translation>以上</translation>
    </message>
    <message>
        <source>at most</source>
        <translation>以下</translation>
    </message>
    <message>
        <source>A number of bytes, or one with k, M or G after it: 4096, 10k, 5M, 1G.
Both bounds are included; a compressed file counts by its own size on disk.</source>
        <translation>バイト数、または k、M、G を付けた数: 4096、10k、5M、1G。
両端の値を含みます。圧縮ファイルはディスク上のサイズで判断します。</translation>
    </message>
    <message>
        <source>after</source>
        <translation>以降</translation>
    </message>
    <message>
        <source>before</source>
        <translation>より前</translation>
    </message>
    <message>
        <source>A date in local time, with a time if need be: 2026-12-01, 2026-12-01 10:00.
Or a number of days or hours back: 7d, 12h (&quot;after 7d&quot; is the last week).</source>
        <translation>現地時刻の日付、必要なら時刻も: 2026-12-01、2026-12-01 10:00。
またはさかのぼる日数・時間数: 7d、12h (「以降」に 7d で直近 1 週間)。</translation>
    </message>
</context>
</TS>
