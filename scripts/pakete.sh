# Installs the Debian packages the project needs, where they are missing.
# Without arguments the packages every build needs; with arguments those named.
pakete_installieren() {
    local noetig=(qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libsqlcipher-dev sqlcipher libgtest-dev libgmock-dev
                  libbenchmark-dev ninja-build cmake g++ pkg-config xvfb xauth
                  clang libclang-rt-14-dev libzip-dev libicu-dev libpq-dev postgresql openssl)
    [ $# -gt 0 ] && noetig=("$@")
    local fehlend=()
    for p in "${noetig[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || fehlend+=("$p")
    done
    if [ ${#fehlend[@]} -gt 0 ]; then
        echo "Installiere: ${fehlend[*]}"
        local sudo=""; [ "$(id -u)" -ne 0 ] && sudo="sudo"
        $sudo apt-get update -qq
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${fehlend[@]}"
    fi
}
