#!/usr/bin/env bash
# Fails when a file includes across the layers the wrong way:
#   - the engine (model/*.h, model/*.cpp and calc/) includes a Qt header;
#   - model/ includes anything from calc/ or drawing/;
#   - calc/ includes anything from drawing/ (the drawing paints results, so
#     it stands above the engine, never inside it);
#   - tables/ (the results tables as files) includes a Qt header or anything
#     from drawing/, pdf/, dialogs/ or editor/;
#   - dialogs/ includes anything from editor/;
#   - pdf/, plans/, cli/ or service/ include anything from dialogs/ or editor/;
#   - drawing/ includes anything from plans/ (the plan kinds stand above the
#     drawing, which knows plans only as PlanPicture).
# Prints each offending line as FILE:LINE: TEXT.
set -euo pipefail
cd "$(dirname "$0")/.."

failed=0

# $1: what is wrong, $2: the include pattern (extended regex), then the files.
refuse() {
    local what=$1 pattern=$2
    shift 2
    local hits
    hits=$(grep -IHnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*$pattern" "$@" || true)
    if [ -n "$hits" ]; then
        echo "$what:"
        echo "$hits"
        failed=1
    fi
}

shopt -s nullglob
mapfile -t model < <(find model -type f \( -name '*.h' -o -name '*.cpp' \))
mapfile -t calc < <(find calc -type f \( -name '*.h' -o -name '*.cpp' \))
mapfile -t tables < <(find tables -type f \( -name '*.h' -o -name '*.cpp' \))
mapfile -t dialogs < <(find dialogs -type f)
mapfile -t tools < <(find pdf plans cli service -type f \( -name '*.h' -o -name '*.cpp' \))
mapfile -t drawing < <(find drawing -type f \( -name '*.h' -o -name '*.cpp' \))

refuse "the engine includes a Qt header" '[<"]Qt?[A-Z]' "${model[@]}" "${calc[@]}"
refuse "model includes calc or the drawing" '["<]([^">]*/)?(calc|drawing)/' "${model[@]}"
refuse "calc includes the drawing" '["<]([^">]*/)?drawing/' "${calc[@]}"
refuse "the tables include Qt" '[<"]Qt?[A-Z]' "${tables[@]}"
refuse "the tables include the drawing or the windows" '["<]([^">]*/)?(drawing|pdf|dialogs|editor)/' "${tables[@]}"
refuse "dialogs include editor" '["<]([^">]*/)?editor/' "${dialogs[@]}"
refuse "the PDF report, plans, calculator or service include the windows" '["<]([^">]*/)?(dialogs|editor)/' "${tools[@]}"
refuse "the drawing includes the plan kinds" '["<]([^">]*/)?plans/' "${drawing[@]}"

if [ "$failed" -ne 0 ]; then
    exit 1
fi
echo "layers: the engine uses no Qt, model uses no calc, the engine uses no drawing, the tables use no Qt, dialogs use no editor, pdf, plans, cli and service use no windows, the drawing uses no plan kinds"
