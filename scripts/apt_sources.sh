# Sourced by the set-up and the package check: what the system's apt sources say.

# The apt entries of the system, one a line: "address suite..." (with "signed-by=file" first when given),
# from the one-line .list files and the deb822 .sources files alike; disabled and deb-src entries left out.
apt_entries() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        sed -e 's/#.*//' "$file" | awk '$1 == "deb" {
            i = 2; signed = ""
            if ($2 ~ /^\[/) for (; i <= NF; i++) {
                option = $i; gsub(/[][]/, "", option)
                if (option ~ /^signed-by=/) signed = option " "
                if ($i ~ /\]$/) { i++; break }
            }
            print signed $i, $(i + 1) }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        # A comment line is no paragraph break there: it goes before the blank lines are looked at.
        sed -e '/^[[:space:]]*#/d' -e 's/#.*//' "$file" | awk '
            function flush() { if (types ~ /(^| )deb( |$)/ && enabled !~ /^(no|false)$/)
                                   for (i = 1; i <= nu; i++) print (signed != "" ? "signed-by=" signed " " : "") u[i], suites
                               types = ""; suites = ""; signed = ""; enabled = ""; nu = 0 }
            /^[ \t]*$/ { flush(); next }
            { key = tolower($1); sub(/:$/, "", key); $1 = ""; sub(/^ +/, ""); value = $0 }
            key == "types" { types = value } key == "suites" { suites = value } key == "enabled" { enabled = tolower(value) }
            key == "signed-by" { signed = value } key == "uris" { nu = split(value, u, " ") }
            END { flush() }'
    done
}

# The address of the configured Debian archive: the entry that serves the system's own release (its codename).
debian_archive() {
    local codename
    codename=$(sed -n 's/^VERSION_CODENAME=//p' /etc/os-release)
    apt_entries | awk -v suite="$codename" '{ for (i = 2; i <= NF; i++) if ($i == suite) {
        print ($1 ~ /^signed-by=/) ? $2 : $1; exit } }'
}
