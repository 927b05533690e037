# SPDX-FileCopyrightText: 2026 The Umbrivista authors
# SPDX-License-Identifier: GPL-3.0-or-later
# bash completion for umbrivista-cli

_umbrivista_cli() {
  local cur prev words cword
  _init_completion || return

  local commands="catalogue deltat elements centreline limits pathtable local render sketch
    citylist placehistory search"
  local common="--catalogue --data-dir --help"
  if [[ $cword -eq 1 ]]; then
    COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
    return
  fi
  local command=${words[1]}

  case $prev in
    --catalogue | --places | --texture-file | --out)
      _filedir
      return
      ;;
    --data-dir)
      _filedir -d
      return
      ;;
    --lang)
      COMPREPLY=($(compgen -W "de en fr" -- "$cur"))
      return
      ;;
    --time)
      COMPREPLY=($(compgen -W "ut tt local" -- "$cur"))
      return
      ;;
    --map)
      COMPREPLY=($(compgen -W "mercator flat" -- "$cur"))
      return
      ;;
    --kind)
      COMPREPLY=($(compgen -W "total annular hybrid partial central noncentral" -- "$cur"))
      return
      ;;
    --sort)
      COMPREPLY=($(compgen -W "pos date kind saros duration magnitude gamma lat lon place
        place_kind place_magnitude place_time place_duration distance" -- "$cur"))
      return
      ;;
    --format)
      local formats
      case $command in
        elements) formats="tsv json" ;;
        centreline | limits) formats="tsv geojson kml" ;;
        pathtable) formats="tsv csv json" ;;
        local) formats="tsv json ics" ;;
        citylist | placehistory) formats="text csv json" ;;
        search) formats="tsv json" ;;
      esac
      COMPREPLY=($(compgen -W "$formats" -- "$cur"))
      return
      ;;
  esac

  local options
  case $command in
    catalogue)
      if [[ $cword -eq 2 ]]; then
        COMPREPLY=($(compgen -W "info show find convert" -- "$cur"))
        return
      fi
      case ${words[2]} in
        find) options="--year --saros" ;;
        convert)
          _filedir
          return
          ;;
      esac
      ;;
    deltat) options="--sigma" ;;
    elements) options="--ut --back --format" ;;
    centreline) options="--ut --tt --back --format" ;;
    limits) options="--ut --tt --deltat --format" ;;
    pathtable) options="--step --ut --tt --format" ;;
    local) options="--lat --lon --height --deltat --lang --time --deltat-range --format" ;;
    render)
      options="--out --width --height --zoom --texture --texture-file --grid --ut --back --ssp
        --capitals --poi --centre --no-overlay --no-limits --night --title --lang --map --from
        --to --step --fps"
      ;;
    sketch) options="--lat --lon --height --ut --lang --out" ;;
    citylist) options="--threshold-index --lang --places --format --out" ;;
    placehistory)
      options="--lat --lon --height --name --country --population --from --to --lang --format
        --out"
      ;;
    search)
      options="--from --to --kind --min-duration --min-magnitude --max-gamma --saros --near
        --within --central-at --visible-from --country --places --lang --sort --desc --format"
      ;;
  esac
  COMPREPLY=($(compgen -W "$options $common" -- "$cur"))
}
complete -F _umbrivista_cli umbrivista-cli
