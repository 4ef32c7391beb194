#!/bin/sh
# nbdkit sh plugin: a disk held in the image file $ORVALIN_STUCK_IMAGE whose bytes from
# $ORVALIN_STUCK_FIRST up to $ORVALIN_STUCK_END keep their old content. Writes there are lost
# without an error, as on worn flash that no longer takes a program; reads give the old data.
image=$ORVALIN_STUCK_IMAGE
first=$ORVALIN_STUCK_FIRST
end=$ORVALIN_STUCK_END

# Copies the next $1 bytes of the request's data from standard input to the image at offset $2.
put() {
    dd of="$image" bs="$1" count=1 seek="$2" oflag=seek_bytes conv=notrunc iflag=fullblock \
        status=none
}

# Reads and drops the next $1 bytes of the request's data.
lose() {
    dd of=/dev/null bs="$1" count=1 iflag=fullblock status=none
}

case "$1" in
get_size)
    stat -L -c %s "$image"
    ;;
can_write | can_flush | flush)
    exit 0
    ;;
pread)
    dd if="$image" bs=64K skip="$4" count="$3" iflag=skip_bytes,count_bytes status=none
    ;;
pwrite)
    count=$3
    offset=$4
    stop=$((offset + count))
    low=$((offset > first ? offset : first))
    high=$((stop < end ? stop : end))
    if [ "$low" -ge "$high" ]; then
        put "$count" "$offset"
        exit
    fi
    if [ "$low" -gt "$offset" ]; then put $((low - offset)) "$offset"; fi
    lose $((high - low))
    if [ "$stop" -gt "$high" ]; then put $((stop - high)) "$high"; fi
    ;;
*)
    exit 2
    ;;
esac
