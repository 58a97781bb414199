#pragma once
// The texts of velmora-cli that the window has no counterpart of: its usage, and what it says when
// the command line or the console stands in the way. In Japanese, then English.

#include "resources/messages/message.h"

namespace velmora::msg {

inline constexpr Text kCliUsage{
    "使い方 / Usage:\n"
    "  velmora-cli list INPUT\n"
    "  velmora-cli inspect INPUT [--plan FILE]\n"
    "  velmora-cli run --operation change|lower-folders|lower-parts|upper-parts|remove-folders INPUT\n"
    "              [--plan FILE] [--overwrite-all] [--input-part-only] [--same-folders]\n"
    "              [--no-copy-missing] [--no-resave] [--no-swap] [--fast [--jobs N]]\n"
    "  velmora-cli undo [--yes]\n"
    "  共通 / common: [--edit-tool FILE] [--pc-tool FILE] [--verbose] [--log FILE]\n"
    "  velmora-cli --help | --version\n"};

inline constexpr Text kCliHelp{
    "\n"
    "list     入力パートが使うパートファイルの一覧（10列、見出し付き）をCSVで標準出力に書きます。\n"
    "         Prints the list of the part files the input part uses (ten columns with headers) as CSV.\n"
    "inspect  --plan のCSVの変更後の名前とフォルダを取り込み（入力したものとして検査）、検査を行い、\n"
    "         印の付いた一覧を書きます。\n"
    "         Reads the new names and folders of the --plan CSV as if typed, inspects, and prints the list.\n"
    "run      選んだ操作を実行します。オプションを指定しなければ画面の既定値です。\n"
    "         Runs the operation; options not given keep the window's defaults.\n"
    "undo     直前の実行を元に戻します。端末では確認します（--yes で確認なし）。端末でなく --yes も\n"
    "         なければ何もせず終了状態 1 です。\n"
    "         Undoes the newest run, asking on a terminal (--yes: no question); without a terminal\n"
    "         and without --yes nothing is undone and the status is 1.\n"
    "\n"
    "INPUT と FILE はこのホストの形式（/home/me/a.prt）でも Windows の形式（D:\\\\a.prt）でも書けます。\n"
    "INPUT and FILE may be host paths or Windows paths. UGII_ROOT_DIR and TEMP as for velmora;\n"
    "--edit-tool and --pc-tool choose the tools instead of UGII_ROOT_DIR.\n"
    "メッセージは標準エラーに出ます。 Messages go to standard error.\n"
    "--verbose: 端末でないときもファイルごとに進行を1行書きます / a progress line per file off a terminal.\n"
    "--log FILE: 実行した書き込みを1行ずつCSVで書きます / one CSV line per write of the run.\n"
    "--fast: 高速実行（画面の 高速実行 と同じ）/ the fast schedule, as the window's 高速実行;\n"
    "  --jobs N: 同時に走らせるツールの数（既定: プロセッサの数、最大 8）/ tool runs side by side\n"
    "  (default: the processor cores, at most 8).\n"
    "\n"
    "終了状態 / exit status:\n"
    "  0  意図どおり終了 / finished as intended\n"
    "  1  書き込む前に中止（ディスクは元のまま）/ refused before the first write, disk unchanged\n"
    "  2  書き込んだ後に中断または失敗（元に戻せます）/ stopped or failed after writing (undoable)\n"
    "  3  解決出来ない構成部品を残して終了 / finished with unresolved components\n"
    "  64 引数の誤り / bad arguments\n"};

inline constexpr Filled<1> kCliBadArguments{"velmora-cli: 引数の誤り / bad arguments: %1"};
inline constexpr Text kCliPathNotCp932{
    "velmora-cli: パスに cp932 にない文字があります / the path has characters cp932 lacks:"};
inline constexpr Filled<1> kCliNoSuchFile{"velmora-cli: ファイルがありません / no such file: %1"};
inline constexpr Filled<2> kCliPathNotMapped{"velmora-cli: %1\n%2"};
inline constexpr Text kCliNoTerminalToAsk{
    "velmora-cli: 端末がないので確認出来ません。元に戻すには --yes を付けてください。\n"
    "velmora-cli: no terminal to answer on; nothing undone. Give --yes to undo without asking."};
inline constexpr Text kCliAnswerPrompt{"元に戻しますか / undo it? [y/N] "};
inline constexpr Filled<1> kCliLogOpenFailed{"velmora-cli: ログを書けません / cannot write the log: %1"};

}  // namespace velmora::msg
