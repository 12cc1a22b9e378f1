#!/usr/bin/env bash
# usage: check_install.sh tree|desktop|mime|metainfo|completion BUILD_DIR DESTDIR PREFIX
# 'tree' installs BUILD_DIR into DESTDIR (emptied first); the other checks read that tree.
set -euo pipefail

check=$1
build=$2
destdir=$3
prefix=$4
root=$destdir$prefix
app_id=org.vesk.TalvexProEditor

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

skip_without() {
    if ! command -v "$1" >/dev/null 2>&1; then
        echo "SKIP: $1 is not installed"
        exit 77
    fi
}

skip_without_editor() {
    if [ ! -x "$root/bin/talvex-editor" ]; then
        echo "SKIP: this build has no editor window"
        exit 77
    fi
}

case $check in
tree)
    rm -rf "$destdir"
    DESTDIR=$destdir cmake --install "$build" >/dev/null
    for program in ${TALVEX_PROGRAMS:-talvex-editor talvex-cli talvex-sim}; do
        [ -x "$root/bin/$program" ] || fail "$program not installed to $root/bin"
        version=$(QT_QPA_PLATFORM=offscreen "$root/bin/$program" --version)
        [[ $version =~ ^$program\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
            fail "$program --version printed '$version'"
    done
    # The backend modules sit in the private folder the programs find relative to their own.
    for module in ${TALVEX_MODULES:-}; do
        [ -f "$root/bin/$TALVEX_MODULE_DIR/$module" ] ||
            fail "$module not installed to $root/bin/$TALVEX_MODULE_DIR"
    done
    if [ -n "${TALVEX_MODULES:-}" ]; then
        help=$("$root/bin/talvex-cli" --help)
        [[ $help != *"not installed"* && $help != *"unavailable"* ]] ||
            fail "the installed talvex-cli does not find its modules: ${help##*backends: }"
    fi
    # Nothing installed may point back into the build or source folder.
    if grep -rlF -e "$build" "$root/share" 2>/dev/null; then
        fail "installed data refers to the build folder"
    fi
    [ -f "$root/share/mime/packages/$app_id.xml" ] || fail "MIME types not installed"
    if [ -x "$root/bin/talvex-editor" ]; then
        for file in applications/$app_id.desktop metainfo/$app_id.metainfo.xml \
            icons/hicolor/scalable/apps/$app_id.svg icons/hicolor/48x48/apps/$app_id.png \
            man/man1/talvex-editor.1.gz; do
            [ -f "$root/share/$file" ] || fail "share/$file not installed"
        done
    fi
    ;;
desktop)
    skip_without desktop-file-validate
    skip_without_editor
    desktop-file-validate "$root/share/applications/$app_id.desktop"
    ;;
completion)
    framework=/usr/share/bash-completion/bash_completion
    if [ ! -f "$framework" ]; then
        echo "SKIP: bash-completion is not installed"
        exit 77
    fi
    script=$root/share/bash-completion/completions/talvex-cli
    [ -f "$script" ] || fail "bash completion not installed"
    # Completes a command line whose last word is being typed; prints the candidates.
    complete_line() {
        bash -c '
            source "$1"
            source "$2"
            shift 2
            COMP_WORDS=("$@")
            COMP_CWORD=$(($# - 1))
            COMP_LINE="$*"
            COMP_POINT=${#COMP_LINE}
            _talvex_cli talvex-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
            echo "${COMPREPLY[*]}"
        ' _ "$framework" "$script" "$@"
    }
    expect_completion() {
        local expected=$1 found
        shift
        found=$(complete_line "$@")
        [ "$found" = "$expected" ] || fail "'$*' completes to '$found', expected '$expected'"
    }
    expect_completion "import info" talvex-cli i
    expect_completion "all global program" talvex-cli new --type ""
    expect_completion "A B C D" talvex-cli play x.t2a --bank ""
    expect_completion "--bank --wav --aiff --t2s" talvex-cli export x.t2a --
    expect_completion "all global program bank" talvex-cli receive ""
    expect_completion "--virtual-instrument --virtual-instrument= --virtual-instrument-fault= --virtual-instrument-rate=" talvex-cli transmit x.t2a --v
    ;;
metainfo)
    skip_without appstreamcli
    skip_without_editor
    appstreamcli validate --no-net --pedantic "$root/share/metainfo/$app_id.metainfo.xml"
    ;;
mime)
    skip_without update-mime-database
    skip_without gio
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # A copy, so the installed tree stays as the package would ship it.
    mkdir -p "$work/data"
    cp -r "$root/share/mime" "$work/data/mime"
    update-mime-database "$work/data/mime" >/dev/null 2>&1 ||
        update-mime-database "$work/data/mime" # again, to show why it failed

    cli=$root/bin/talvex-cli
    cd "$work"
    "$cli" new --type all backup.t2a >/dev/null
    "$cli" new --type global settings.t2g >/dev/null
    "$cli" new --type program memories.t2p >/dev/null
    # One second of 16-bit mono silence at 44.1 kHz, imported and exported as a sample file.
    {
        printf 'RIFF\xac\x58\x01\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x01\x00'
        printf '\x44\xac\x00\x00\x88\x58\x01\x00\x02\x00\x10\x00data\x88\x58\x01\x00'
        head -c 88200 /dev/zero
    } >tone.wav
    "$cli" import tone.wav --bank A --into backup.t2a >/dev/null
    "$cli" export backup.t2a --bank A --t2s loop.t2s >/dev/null
    # The predecessor's files are known by name, whatever they hold.
    cp backup.t2a old.txa
    cp settings.t2g old.txg
    printf '\x00\x01\x02\x03' >old.txs
    for file in backup.t2a settings.t2g memories.t2p loop.t2s; do
        cp "$file" "renamed-${file%.*}"
    done

    expect() {
        local file=$1 type=$2 found
        found=$(XDG_DATA_HOME="$work/data" XDG_DATA_DIRS="$work/data:/usr/share" \
            gio info --attributes=standard::content-type "$file" |
            sed -n 's/^ *standard::content-type: //p')
        [ "$found" = "$type" ] || fail "$file: expected $type, found '$found'"
        echo "$file: $found"
    }
    expect backup.t2a application/x-talvex-all-data
    expect settings.t2g application/x-talvex-global
    expect memories.t2p application/x-talvex-programs
    expect loop.t2s application/x-talvex-sample
    expect old.txa application/x-talvex-legacy-all-data
    expect old.txg application/x-talvex-legacy-global
    expect old.txs application/x-talvex-legacy-sample
    expect renamed-backup application/x-talvex-all-data
    expect renamed-settings application/x-talvex-global
    expect renamed-memories application/x-talvex-programs
    expect renamed-loop application/x-talvex-sample
    # The same magic with chunk counts no file kind has is not claimed.
    printf 'TXPF\x02\x02\x02\xff\xff\xff\xff\xff' >other
    expect other application/octet-stream
    ;;
*)
    fail "unknown check '$check'"
    ;;
esac
