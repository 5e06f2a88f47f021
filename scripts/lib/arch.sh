# Whether this host runs 32-bit x86 code; sourced by the scripts.
# shellcheck shell=bash

# Some virtual machines run 64-bit user code only (no IA-32 emulation in the
# kernel). Wine's 32-bit loader then fails with "Exec format error", and so
# would any 32-bit program. Asking the kernel directly needs nothing
# installed: a 91-byte static 32-bit ELF program that only calls exit(0).
host_runs_32bit() {
    local probe status=0
    # Beside the scripts, not in /tmp: a noexec /tmp would read as "no".
    probe=$(mktemp -p "$(dirname "${BASH_SOURCE[0]}")" .probe32.XXXXXX)
    printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null || status=$?
    rm -f "$probe"
    return "$status"
}

# The architecture the tests run as: QUILLERY_TEST_ARCH when it is set
# (i686 fails on a host that cannot run it), otherwise i686 wherever the
# host runs 32-bit code and x86_64 where it cannot.
test_arch() {
    case "${QUILLERY_TEST_ARCH:-}" in
        x86_64) echo x86_64 ;;
        i686)
            if ! host_runs_32bit; then
                echo "QUILLERY_TEST_ARCH=i686, but this host cannot run 32-bit code (its kernel refuses 32-bit programs with \"Exec format error\"); unset it to test the 64-bit build here" >&2
                return 1
            fi
            echo i686 ;;
        "")
            if host_runs_32bit; then echo i686; else echo x86_64; fi ;;
        *)
            echo "QUILLERY_TEST_ARCH must be i686 or x86_64, not \"$QUILLERY_TEST_ARCH\"" >&2
            return 1 ;;
    esac
}
