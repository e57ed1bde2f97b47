# Sourced by the benches that back up a mail store night after night: builds
# a data file like a large .pst (one third random bytes, two thirds mail-like
# records, in 4 MB segments) and changes it as a night of mail does (PAGES
# random 4 KiB pages rewritten in place, APPEND_MB of new records appended).

records() { # records BYTES SEED: repetitive mail headers and bodies
  awk -v bytes="$1" -v i="$2" 'BEGIN {
    total = 0
    while (total < bytes) {
      line = sprintf("Message-ID: <%d.%d@mail.example.com>\r\nFrom: user%d@example.com\r\n" \
        "Subject: Weekly report %d\r\nDate: Mon, %d Jan 2024 10:%02d:00 +0100\r\n\r\n" \
        "Hello team, the figures for week %d are attached. Regards, user%d\r\n\r\n",
        (i * 7919) % 100003, i, i % 97, i % 53, i % 28 + 1, i % 60, i % 52, i % 97)
      if (total + length(line) > bytes) line = substr(line, 1, bytes - total)
      printf "%s", line
      total += length(line)
      i++
    }
  }'
}

make_store() { # make_store FILE MB
  local file=$1 segment=$((4 * 1024 * 1024)) s
  local segments=$(($2 * 1024 * 1024 / segment))
  for ((s = 0; s < segments; s++)); do
    if ((s % 3 == 0)); then
      head -c "$segment" /dev/urandom
    else
      records "$segment" $((s * 100000))
    fi
  done >"$file"
}

night() { # night FILE NIGHT: the same pages for the same night in every run
  local file=$1 n=$2 page
  local pages=$(($(stat -c %s "$file") / 4096))
  for page in $(awk -v seed="$n" -v pages="$pages" -v count="${PAGES:-200}" \
      'BEGIN { srand(seed); for (k = 0; k < count; k++) print int(rand() * pages) }'); do
    dd if=/dev/urandom of="$file" bs=4096 seek="$page" count=1 conv=notrunc status=none
  done
  records $((${APPEND_MB:-5} * 1024 * 1024)) $((900000000 + n * 100000)) >>"$file"
}
